#include "output/LoanSummary.h"

#include "engine/LoanTerms.h"
#include "output/AmountFormat.h"

namespace brellow {

bool IsAdditionalPaymentShown(double additionalPayment) noexcept {
    return additionalPayment <= -0.002 || additionalPayment >= 0.002;
}

std::vector<SummaryLine> LoanSummary(const CTamsicDoc& doc) {
    std::vector<SummaryLine> lines;
    lines.reserve(9);
    int rows[2] = {0, 0};
    const auto add = [&](int column, std::string text) {
        lines.push_back({column, rows[column]++, std::move(text)});
    };

    add(0, "Loan Amount: " + FormatAmount(doc.GetLoanAmount()));
    add(0, "Interest Rate: " + FormatRate(doc.GetInterestRate()) + "%");
    std::string periods = "# of Periods: ";
    AppendInt(periods, doc.GetNumPeriods());
    add(0, std::move(periods));
    add(0, "Payment per Period: " + FormatAmount(doc.GetPayment()));
    if (IsAdditionalPaymentShown(doc.GetAdditionalPayment())) {
        add(0, "Additional Payment Per Period: " + FormatAmount(doc.GetAdditionalPayment()));
    }

    add(1, "Payment Period: " + PaymentFrequencyName(doc.GetPaymentFrequency()));
    add(1, "Compound Period: " + CompoundFrequencyName(doc.GetCompoundFrequency()));
    add(1, std::string("Balloon Payment: ") + (doc.GetBalloon() ? "Yes" : "No"));
    if (doc.GetBalloon()) {
        std::string period = "Balloon Payment at Period: ";
        AppendInt(period, doc.GetBalloonPeriod());
        add(1, std::move(period));
    }
    return lines;
}

}  // namespace brellow
