#include "engine/CTamsicDoc.h"
#include "engine/Payoff.h"
#include "engine/Schedule.h"
#include "tests/support/TestLoans.h"
#include "tools/CBalanceChartDlg.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

using brellow::test::Loan;

bool Bluish(QRgb p) {
    return qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100;
}
bool Orange(QRgb p) {
    return qRed(p) > 180 && qGreen(p) > 60 && qGreen(p) < 160 && qBlue(p) < 80;
}

bool Near(const QImage& image, QPoint point, const std::function<bool(QRgb)>& colour) {
    for (int y = point.y() - 1; y <= point.y() + 1; ++y) {
        for (int x = point.x() - 1; x <= point.x() + 1; ++x) {
            if (image.rect().contains(x, y) && colour(image.pixel(x, y))) return true;
        }
    }
    return false;
}

bool AnyPixel(const QImage& image, const std::function<bool(QRgb)>& colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (colour(image.pixel(x, y))) return true;
        }
    }
    return false;
}

int Payments(const brellow::CTamsicDoc& doc) {
    return doc.GetScheduleLength();
}

// Where the arithmetic puts the balance after `payment` of `doc` in the window of the fixed
// size, grown by `growth` for the amount's label: L = 90 + growth, W = 470, B = 300,
// H = 251, over `payments` on the axis and up to `highest`.
QPoint PointOf(const brellow::CTamsicDoc& doc, int payment, int payments, double highest,
               int growth) {
    double balance = doc.GetLoanAmount();
    brellow::ScheduleGenerator rows(doc, brellow::kAllYears);
    brellow::ScheduleRow row;
    for (int i = 0; i < payment && rows.Next(row); ++i) balance = row.balance;
    return {90 + growth + static_cast<int>(payment * (470.0 / payments)),
            300 - static_cast<int>(std::trunc(balance * (251.0 / highest)))};
}

TEST(BalanceChart, LinesStartAtTheAmountAndEndAtThePayoffWhereTheArithmeticPutsThem) {
    const struct {
        const char* name;
        brellow::CTamsicDoc doc;
        int payoff;  // x of the payoff mark, without growth
        bool without;
    } cases[] = {
        {"360 months", Loan(), 560, false},
        {"360 months with 100.00 extra", Loan({.extra = 100}), 419, true},
        {"400,000 weekly payments",
         Loan({.amount = 900000000000.0,
               .periods = 400000,
               .rate = 0.01,
               .first = brellow::OleDateTime::FromDate(2026, 1, 1),
               .payment = static_cast<int>(brellow::PaymentFrequency::Weekly)}),
         560, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CBalanceChartDlg dlg(c.doc);
        const int growth = dlg.width() - 740;
        EXPECT_EQ(371, dlg.height());
        const int payoff = c.payoff + growth;
        const QImage image = dlg.ChartImage().convertToFormat(QImage::Format_RGB32);
        const brellow::CTamsicDoc without = brellow::WithoutAdditionalPayment(c.doc);
        const int axis = c.without ? Payments(without) : Payments(c.doc);
        const double highest = c.doc.GetLoanAmount();

        const int paid = Payments(c.doc);
        EXPECT_EQ(QPoint(90 + growth, 49), PointOf(c.doc, 0, axis, highest, growth));
        EXPECT_EQ(QPoint(payoff, 300), PointOf(c.doc, paid, axis, highest, growth));
        for (const int payment : {0, paid / 2, paid}) {
            EXPECT_TRUE(Near(image, PointOf(c.doc, payment, axis, highest, growth), Bluish))
                << payment;
        }
        EXPECT_FALSE(Near(image, QPoint(payoff + 3, 299), Bluish)) << "past the payoff";

        // The payoff mark: a dashed line up the plot, its date above the plot.
        int marked = 0;
        for (int y = 60; y < 290; ++y) marked += image.pixel(payoff, y) == qRgb(0, 0, 0);
        EXPECT_GT(marked, 60) << "the dashes";
        EXPECT_LT(marked, 200) << "the gaps";

        EXPECT_EQ(c.without, AnyPixel(image, Orange));
        if (c.without) {
            for (const int payment : {axis / 2, axis - 10, axis}) {
                EXPECT_TRUE(Near(image, PointOf(without, payment, axis, highest, growth), Orange))
                    << payment;
            }
        }
    }
}

// Without the additional payment the loan passes the cent limit: the reason stands in the
// legend instead of the line.
TEST(BalanceChart, TheReasonStandsInsteadOfALineBeyondTheCentLimit) {
    const brellow::CTamsicDoc doc = Loan({.periods = 1000, .rate = 100, .extra = 1000});
    CBalanceChartDlg dlg(doc);
    EXPECT_FALSE(AnyPixel(dlg.ChartImage(), Orange));
    EXPECT_TRUE(dlg.ChartArea()->accessibleDescription().endsWith(
        "Without the additional payment the schedule's amounts would exceed what can be shown "
        "to the cent."));
}

}  // namespace
