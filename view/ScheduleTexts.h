#pragma once

// The texts of the schedule table's lines as the view shows them, for the view's
// painting and for what it tells assistive technology: both must read the same.
// A line has one text per column, left to right under brellow::kColumnHeads; a totals
// line holds its label under "Period" and sums under the three amounts it adds up:
//   row 1 of the worked mortgage: "1", "01/01/2003", "$599.55", "$500.00", "$99.55",
//   "$99,900.45".

#include "engine/Schedule.h"
#include "output/PresenterTexts.h"

#include <QString>

#include <array>
#include <string_view>

using ScheduleLineTexts = std::array<QString, brellow::kColumnHeads.size()>;

QString Latin1Text(std::string_view text);
QString AmountText(double value);
ScheduleLineTexts RowTexts(const brellow::ScheduleRow& row);
ScheduleLineTexts TotalsTexts(std::string_view label, const brellow::AmountTotals& sums);
