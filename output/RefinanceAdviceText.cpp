#include "output/RefinanceAdviceText.h"

#include "output/AmountFormat.h"

#include <cstdint>
#include <utility>
#include <variant>

namespace brellow {

namespace {

void AppendCount(std::string& out, std::int64_t count, const char* unit) {
    AppendInt(out, count);
    out += ' ';
    out += unit;
    if (count != 1) out += 's';
}

}  // namespace

std::string WordRefinanceAdvice(const RefinanceFigures& figures) {
    std::string text = "Your new loan balance is ";
    AppendAmount(text, figures.balance);
    text += " (excluding closing cost and points).\n";
    if (!(figures.newPayment < figures.oldPayment)) {
        return text +
               "Your new monthly payment will be even more than your old monthly payment.\n"
               "You should not refinance with this option";
    }
    if (figures.breakEvenMonths <= 0) {
        return text + "You should definitely refinance with this option.";
    }

    const std::int64_t years = figures.breakEvenMonths / 12;
    const std::int64_t months = figures.breakEvenMonths % 12;
    text += "Your break even period is ";
    if (years > 0) AppendCount(text, years, "year");
    if (months > 0) {
        if (years > 0) text += " and ";
        AppendCount(text, months, "month");
    }
    return text +
           ".\nYou should refinance with this option if you plan to sell the house after the "
           "break even period.";
}

RefinanceResult AdviseRefinance(const RefinanceInputs& inputs) {
    auto computed = ComputeRefinance(inputs);
    if (auto* refusal = std::get_if<RefinanceRefusal>(&computed)) {
        return {{}, std::move(*refusal)};
    }
    return {WordRefinanceAdvice(std::get<RefinanceFigures>(computed)), std::nullopt};
}

}  // namespace brellow
