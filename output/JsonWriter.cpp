#include "output/JsonWriter.h"

#include "engine/LoanTerms.h"
#include "engine/Payoff.h"
#include "engine/Schedule.h"
#include "output/AmountFormat.h"
#include "output/ChunkedOutput.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <utility>

namespace brellow {

namespace {

void AppendTerms(std::string& out, const LoanTerms& terms) {
    JsonObject object(out);
    AppendJsonMoney(object.Key("loanAmount"), terms.loanAmount);
    AppendInt(object.Key("numPeriods"), terms.numPeriods);
    AppendJsonNumber(object.Key("interestRate"), terms.interestRate);
    AppendJsonDate(object.Key("firstPayment"), terms.firstPayment);
    AppendJsonFrequency(object.Key("paymentFrequency"), terms.paymentFrequency,
                        PaymentFrequencyName(terms.paymentFrequency));
    AppendJsonFrequency(object.Key("compoundFrequency"), terms.compoundFrequency,
                        CompoundFrequencyName(terms.compoundFrequency));
    object.Key("balloon") += terms.balloon ? "true" : "false";
    AppendInt(object.Key("balloonPeriod"), terms.balloonPeriod);
    AppendJsonMoney(object.Key("additionalPayment"), terms.additionalPayment);
    object.Close();
}

void AppendPayoff(std::string& out, const PayoffSummary& payoff) {
    JsonObject object(out);
    AppendJsonPayoffFigures(object, payoff.loan);
    AppendJsonPayoffFigures(object.Key("withoutAdditionalPayment"), payoff.withoutAdditional);
    std::string& saved = object.Key("saved");
    if (payoff.saved) {
        JsonObject savings(saved);
        AppendInt(savings.Key("payments"), payoff.saved->payments);
        AppendInt(savings.Key("years"), payoff.saved->years);
        AppendInt(savings.Key("months"), payoff.saved->months);
        AppendJsonMoney(savings.Key("interest"), payoff.saved->interest);
        savings.Close();
    } else {
        saved += "null";
    }
    if (!payoff.withoutAdditionalProblem.empty()) {
        AppendJsonString(object.Key("withoutAdditionalPaymentProblem"),
                         payoff.withoutAdditionalProblem);
    }
    object.Close();
}

// The row AppendRow writes, composed in place and appended at once: long loans list
// hundreds of thousands of rows. False, with nothing appended, when an amount is beyond
// the cent.
bool AppendRowInPlace(std::string& out, const ScheduleRow& row, RowAmountColumns& columns) {
    constexpr std::string_view kAmountKeys[] = {",\"payment\":", ",\"interest\":",
                                                ",\"principal\":", ",\"balance\":"};
    char line[80 + kMaxIntChars + kMaxDateChars + 4 * kMaxExactAmountChars];
    char* to = PutText(line, "{\"period\":");
    to = PutInt(to, row.period);
    to = PutText(to, ",\"date\":\"");
    char* const date = to;
    to = PutIsoDate(to, row.date);
    to = to == date ? PutText(date - 1, "null") : PutText(to, "\"");
    const double amounts[] = {row.payment, row.interest, row.principal, row.balance};
    for (std::size_t i = 0; i < std::size(amounts); ++i) {
        to = PutText(to, kAmountKeys[i]);
        to = columns[i].Put(to, amounts[i]);
        if (to == nullptr) return false;
    }
    *to++ = '}';
    out.append(line, to);
    return true;
}

void AppendRow(std::string& out, const ScheduleRow& row, RowAmountColumns& columns) {
    if (AppendRowInPlace(out, row, columns)) return;
    JsonObject object(out);
    AppendInt(object.Key("period"), row.period);
    AppendJsonDate(object.Key("date"), row.date);
    AppendJsonMoney(object.Key("payment"), row.payment);
    AppendJsonMoney(object.Key("interest"), row.interest);
    AppendJsonMoney(object.Key("principal"), row.principal);
    AppendJsonMoney(object.Key("balance"), row.balance);
    object.Close();
}

void AppendTotals(std::string& out, const AmountTotals& totals) {
    JsonObject object(out);
    AppendJsonMoney(object.Key("payment"), totals.payment);
    AppendJsonMoney(object.Key("interest"), totals.interest);
    AppendJsonMoney(object.Key("principal"), totals.principal);
    object.Close();
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendJsonMoney(std::string& out, double value) {
    if (std::isfinite(value)) {
        AppendPlainAmount(out, value);
    } else {
        out += "null";
    }
}

void AppendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void AppendJsonDate(std::string& out, const OleDateTime& date) {
    const std::string iso = FormatIsoDate(date);
    if (iso.empty()) {
        out += "null";
    } else {
        AppendJsonString(out, iso);
    }
}

void AppendJsonFrequency(std::string& out, int code, const std::string& name) {
    JsonObject frequency(out);
    AppendInt(frequency.Key("code"), code);
    AppendJsonString(frequency.Key("name"), name);
    frequency.Close();
}

void AppendJsonPayoffFigures(JsonObject& object, const PayoffFigures& figures) {
    AppendInt(object.Key("payments"), figures.payments);
    AppendJsonDate(object.Key("lastPayment"), figures.lastPayment);
    AppendJsonMoney(object.Key("totalPaid"), figures.totalPaid);
    AppendJsonMoney(object.Key("totalInterest"), figures.totalInterest);
}

void AppendJsonPayoffFigures(std::string& out, const std::optional<PayoffFigures>& figures) {
    if (!figures) {
        out += "null";
        return;
    }
    JsonObject object(out);
    AppendJsonPayoffFigures(object, *figures);
    object.Close();
}

JsonObject::JsonObject(std::string& out) : m_out(out) {
    m_out += '{';
}

std::string& JsonObject::Key(std::string_view name) {
    if (!m_empty) m_out += ',';
    m_empty = false;
    AppendJsonString(m_out, name);
    m_out += ':';
    return m_out;
}

void JsonObject::Close() {
    m_out += '}';
}

bool WriteLoanJson(const CTamsicDoc& doc, int year, ByteSink& sink) {
    ChunkedOutput out(sink);
    std::string& text = out.Buffer();
    JsonObject loan(text);
    AppendTerms(loan.Key("terms"), doc.GetTerms());
    AppendJsonNumber(loan.Key("periodicRate"), doc.GetPeriodicRate());
    AppendJsonMoney(loan.Key("payment"), doc.GetPayment());
    AppendPayoff(loan.Key("payoff"), ComputePayoff(doc));

    ScheduleGenerator schedule(doc, year);
    std::string& listed = loan.Key("year");
    if (schedule.HasAnnualTotals()) {
        AppendInt(listed, schedule.Year());
    } else {
        listed += "null";
    }
    loan.Key("rows") += '[';
    RowAmountColumns columns = MakeRowAmountColumns(false);
    ScheduleRow row;
    for (bool first = true; schedule.Next(row); first = false) {
        text += first ? "\n" : ",\n";
        AppendRow(text, row, columns);
        if (!out.Pass()) return false;
    }
    text += "\n]";
    std::string& annual = loan.Key("annualTotals");
    if (schedule.HasAnnualTotals()) {
        AppendTotals(annual, schedule.Totals().annual);
    } else {
        annual += "null";
    }
    AppendTotals(loan.Key("runningTotals"), schedule.Totals().running);
    loan.Close();
    text += '\n';
    return out.Flush();
}

std::string WriteLoanJson(const CTamsicDoc& doc, int year) {
    StringSink sink;
    WriteLoanJson(doc, year, sink);
    return std::move(sink.Text());
}

}  // namespace brellow
