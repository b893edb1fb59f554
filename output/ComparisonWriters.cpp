#include "output/ComparisonWriters.h"

#include "engine/Limits.h"
#include "engine/OleDateTime.h"
#include "output/AmountFormat.h"
#include "output/JsonWriter.h"

#include <array>
#include <string_view>

namespace brellow {

namespace {

// In the order of the rows; Column gives the cells in the same order.
constexpr std::array<std::string_view, 12> kFigureLabels = {
    "Loan Amount",
    "Interest Rate",
    "Payment Period",
    "# of Periods",
    "Payment per Period",
    "Additional Payment",
    "Payments until Paid Off",
    "Last Payment",
    "Total Paid",
    "Total Interest",
    "Total Interest vs. Cheapest",
    "Total Paid vs. Cheapest",
};

// Display: as the window shows figures; Plain: for spreadsheets.
enum class Style { Display, Plain };

std::string Money(double value, const std::string& reason, Style style) {
    if (!WithinCentLimit(value)) return reason;
    std::string text;
    if (style == Style::Display) {
        AppendAmount(text, value);
    } else {
        AppendPlainAmount(text, value);
    }
    return text;
}

std::string Int(long long value) {
    std::string text;
    AppendInt(text, value);
    return text;
}

std::string Difference(const std::optional<double>& value, const ComparedLoan& loan, Style style) {
    const std::string& reason = loan.payoff ? loan.differenceProblem : loan.problem;
    return value ? Money(*value, reason, style) : reason;
}

std::vector<std::string> Column(const ComparedLoan& loan, Style style) {
    const LoanTerms& terms = loan.terms;
    std::vector<std::string> cells = {
        Money(terms.loanAmount, loan.problem, style),
        FormatRate(terms.interestRate) + (style == Style::Display ? "%" : ""),
        PaymentFrequencyName(terms.paymentFrequency),
        Int(terms.numPeriods),
        Money(loan.payment, loan.problem, style),
        Money(terms.additionalPayment, loan.problem, style),
    };
    if (loan.payoff) {
        const PayoffFigures& payoff = *loan.payoff;
        cells.push_back(Int(payoff.payments));
        cells.push_back(style == Style::Display ? FormatDate(payoff.lastPayment)
                                                : FormatIsoDate(payoff.lastPayment));
        cells.push_back(Money(payoff.totalPaid, loan.problem, style));
        cells.push_back(Money(payoff.totalInterest, loan.problem, style));
    } else {
        cells.insert(cells.end(), 4, loan.problem);
    }
    cells.push_back(Difference(loan.interestVsCheapest, loan, style));
    cells.push_back(Difference(loan.paidVsCheapest, loan, style));
    return cells;
}

// A title on one line of its own.
std::string Head(const LoanComparison& comparison, std::size_t index) {
    std::string head = comparison.loans[index].title;
    for (char& c : head) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') c = ' ';
    }
    if (comparison.cheapest == index) head += " (cheapest)";
    return head;
}

ComparisonTable Texts(const LoanComparison& comparison, Style style) {
    ComparisonTable table;
    table.labels.assign(kFigureLabels.begin(), kFigureLabels.end());
    table.cells.resize(kFigureLabels.size());
    for (std::size_t i = 0; i < comparison.loans.size(); ++i) {
        table.heads.push_back(Head(comparison, i));
        std::vector<std::string> column = Column(comparison.loans[i], style);
        for (std::size_t row = 0; row < column.size(); ++row)
            table.cells[row].push_back(std::move(column[row]));
    }
    return table;
}

void AppendCsvField(std::string& out, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// One line of cells after `first`, each separated by `separator`.
void AppendLine(std::string& out, const std::string& first, const std::vector<std::string>& rest,
                char separator) {
    const auto field = [&](const std::string& text) {
        if (separator == ',') {
            AppendCsvField(out, text);
        } else {
            out += text;
        }
    };
    field(first);
    for (const std::string& cell : rest) {
        out += separator;
        field(cell);
    }
    out += "\r\n";
}

std::string WriteTable(const ComparisonTable& table, char separator) {
    std::string out;
    AppendLine(out, {}, table.heads, separator);
    for (std::size_t row = 0; row < table.labels.size(); ++row)
        AppendLine(out, table.labels[row], table.cells[row], separator);
    return out;
}

// A money figure, or null where it cannot be shown.
void AppendShownMoney(std::string& out, const std::optional<double>& value) {
    if (value && WithinCentLimit(*value)) {
        AppendJsonMoney(out, *value);
    } else {
        out += "null";
    }
}

void AppendLoan(std::string& out, const ComparedLoan& loan) {
    const LoanTerms& terms = loan.terms;
    JsonObject object(out);
    AppendJsonString(object.Key("title"), loan.title);
    AppendShownMoney(object.Key("loanAmount"), terms.loanAmount);
    AppendJsonNumber(object.Key("interestRate"), terms.interestRate);
    AppendJsonFrequency(object.Key("paymentFrequency"), terms.paymentFrequency,
                        PaymentFrequencyName(terms.paymentFrequency));
    AppendInt(object.Key("numPeriods"), terms.numPeriods);
    AppendShownMoney(object.Key("payment"), loan.payment);
    AppendShownMoney(object.Key("additionalPayment"), terms.additionalPayment);
    AppendJsonPayoffFigures(object.Key("payoff"), loan.payoff);
    if (!loan.problem.empty()) AppendJsonString(object.Key("problem"), loan.problem);
    AppendShownMoney(object.Key("interestVsCheapest"), loan.interestVsCheapest);
    AppendShownMoney(object.Key("paidVsCheapest"), loan.paidVsCheapest);
    if (!loan.differenceProblem.empty())
        AppendJsonString(object.Key("differenceProblem"), loan.differenceProblem);
    object.Close();
}

std::string WriteJson(const LoanComparison& comparison) {
    std::string out;
    JsonObject object(out);
    std::string& cheapest = object.Key("cheapest");
    if (comparison.cheapest) {
        AppendInt(cheapest, static_cast<long long>(*comparison.cheapest));
    } else {
        cheapest += "null";
    }
    object.Key("loans") += '[';
    for (std::size_t i = 0; i < comparison.loans.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        AppendLoan(out, comparison.loans[i]);
    }
    out += comparison.loans.empty() ? "]" : "\n]";
    object.Close();
    return out + '\n';
}

}  // namespace

ComparisonTable ComparisonTexts(const LoanComparison& comparison) {
    return Texts(comparison, Style::Display);
}

std::string WriteComparison(const LoanComparison& comparison, ComparisonFormat format) {
    switch (format) {
        case ComparisonFormat::Csv:
            return WriteTable(Texts(comparison, Style::Plain), ',');
        case ComparisonFormat::Json:
            return WriteJson(comparison);
        case ComparisonFormat::Text:
            break;
    }
    return WriteTable(ComparisonTexts(comparison), '\t');
}

}  // namespace brellow
