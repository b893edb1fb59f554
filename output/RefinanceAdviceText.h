#pragma once

// The refinance advisor's words for the figures of RefinanceAdvice.h: the new balance,
// then whether refinancing pays off and after how long.
//   Your new loan balance is $120,000.00 (excluding closing cost and points).
//   Your break even period is 2 years and 6 months.
//   You should refinance with this option if you plan to sell the house after the break
//   even period.
// (the last sentence on one line).

#include "engine/RefinanceAdvice.h"

#include <optional>
#include <string>

namespace brellow {

struct RefinanceResult {
    std::string advice;  // empty when refused
    std::optional<RefinanceRefusal> refusal;
};

// The advice for figures that ComputeRefinance gave, lines separated by "\n" and without
// a final line feed.
std::string WordRefinanceAdvice(const RefinanceFigures& figures);

// The advice for `inputs` (computed, then worded), or the first refusal.
RefinanceResult AdviseRefinance(const RefinanceInputs& inputs);

}  // namespace brellow
