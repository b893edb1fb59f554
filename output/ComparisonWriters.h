#pragma once

// The texts of a loan comparison (LoanComparison.h): one column per loan, headed by its
// title, and one row per figure. The cheapest loan's head ends in " (cheapest)". The
// window shows ComparisonTexts; its Copy and brellow-cli write the same texts:
//
//                                  Brel1          Brel2 (cheapest)
//   Loan Amount                    $100,000.00    $100,000.00
//   Interest Rate                  6%             6%
//   Payment Period                 Monthly        Monthly
//   # of Periods                   360            180
//   ...
//   Total Interest vs. Cheapest    $63,944.65     $0.00
//
// Text: as above with one tab between cells in place of the blanks, every line ending in
// CR LF, for pasting into a spreadsheet. CSV: the same table as RFC 4180 with plain
// amounts ("1234.50"), rates without "%" and ISO dates. A figure that cannot be shown is replaced
// by the reason; a loan paid without dates has an empty last payment date. Control characters of a
// title show as blanks, so a file name cannot break a line.
//
// JSON: {"cheapest":INDEX or null,"loans":[...]}, one loan a line, each with "title",
// "loanAmount", "interestRate", "paymentFrequency" ({"code","name"}), "numPeriods",
// "payment", "additionalPayment", "payoff" ({"payments","lastPayment","totalPaid",
// "totalInterest"} or null), "interestVsCheapest" and "paidVsCheapest"; a figure that
// cannot be shown is null, and "problem" or "differenceProblem" gives the reason (each
// present only then). It ends in a line feed.

#include "engine/LoanComparison.h"

#include <string>
#include <vector>

namespace brellow {

enum class ComparisonFormat { Text, Csv, Json };

struct ComparisonTable {
    std::vector<std::string> heads;               // one per loan
    std::vector<std::string> labels;              // one per figure
    std::vector<std::vector<std::string>> cells;  // [figure][loan]
};

// The table as the window shows it and Text writes it.
ComparisonTable ComparisonTexts(const LoanComparison& comparison);

std::string WriteComparison(const LoanComparison& comparison, ComparisonFormat format);

}  // namespace brellow
