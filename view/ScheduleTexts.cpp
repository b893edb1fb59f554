#include "view/ScheduleTexts.h"

#include "output/AmountFormat.h"

#include <string>

QString Latin1Text(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString AmountText(double value) {
    std::string text;
    brellow::AppendAmount(text, value);
    return Latin1Text(text);
}

ScheduleLineTexts RowTexts(const brellow::ScheduleRow& row) {
    std::string period;
    brellow::AppendInt(period, row.period);
    std::string date;
    brellow::AppendDate(date, row.date);
    return {Latin1Text(period),       Latin1Text(date),          AmountText(row.payment),
            AmountText(row.interest), AmountText(row.principal), AmountText(row.balance)};
}

ScheduleLineTexts TotalsTexts(std::string_view label, const brellow::AmountTotals& sums) {
    return {Latin1Text(label),          QString(),
            AmountText(sums.payment),   AmountText(sums.interest),
            AmountText(sums.principal), QString()};
}
