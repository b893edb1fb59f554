#include "engine/Schedule.h"

#include "engine/CTamsicDoc.h"
#include "tests/support/TestLoans.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brellow {
namespace {

using test::Loan;

CTamsicDoc Mortgage() {
    return Loan({});
}

struct Listing {
    std::vector<ScheduleRow> rows;
    ScheduleTotals totals;
};

Listing List(const CTamsicDoc& doc, int year = kAllYears) {
    Listing listing;
    ScheduleGenerator gen(doc, year);
    ScheduleRow row;
    while (gen.Next(row)) listing.rows.push_back(row);
    listing.totals = gen.Totals();
    return listing;
}

bool SameRow(const ScheduleRow& a, const ScheduleRow& b) {
    return a.period == b.period && a.date == b.date && a.payment == b.payment &&
           a.interest == b.interest && a.principal == b.principal && a.balance == b.balance;
}

bool SameTotals(const AmountTotals& a, const AmountTotals& b) {
    return a.payment == b.payment && a.interest == b.interest && a.principal == b.principal;
}

long long Cents(double amount) {
    return std::llround(amount * 100);
}

TEST(Schedule, MortgageFirstAndLastRows) {
    const Listing all = List(Mortgage());
    ASSERT_EQ(360u, all.rows.size());
    const ScheduleRow& first = all.rows.front();
    EXPECT_EQ(1, first.period);
    EXPECT_EQ(59955, Cents(first.payment));
    EXPECT_EQ(50000, Cents(first.interest));
    EXPECT_EQ(9955, Cents(first.principal));
    EXPECT_EQ(9990045, Cents(first.balance));
    const ScheduleRow& last = all.rows.back();
    EXPECT_EQ(360, last.period);
    EXPECT_EQ(0.0, last.balance);
    EXPECT_EQ(last.interest + last.principal, last.payment);
    EXPECT_NE(59955, Cents(last.payment));  // absorbs the rounding of the level payment
    EXPECT_EQ(OleDateTime::FromDate(2032, 12, 1), last.date);
    EXPECT_NEAR(100000.0, all.totals.running.principal, 1e-6);
    EXPECT_EQ(0.0, all.totals.annual.payment);
}

TEST(Schedule, BalloonEndsAtItsPeriod) {
    CTamsicDoc doc = Mortgage();
    doc.SetBalloon(true);
    doc.SetBalloonPeriod(60);
    const Listing all = List(doc);
    ASSERT_EQ(60u, all.rows.size());
    EXPECT_EQ(all.rows[58].balance, all.rows[59].principal);
    EXPECT_EQ(0.0, all.rows[59].balance);
}

TEST(Schedule, AdditionalPaymentThreshold) {
    CTamsicDoc doc = Mortgage();
    for (double tiny : {0.001, -0.001, 0.0019}) {
        doc.SetAdditionalPayment(tiny);
        EXPECT_EQ(360, doc.GetScheduleLength()) << tiny;
    }
    doc.SetAdditionalPayment(500);
    const int shortened = doc.GetScheduleLength();
    EXPECT_LT(shortened, 360);
    const Listing all = List(doc);
    ASSERT_EQ(size_t(shortened), all.rows.size());
    // The closing payment is smaller and the row before it still owed money.
    EXPECT_LT(all.rows.back().payment, doc.GetPayment() + 500);
    EXPECT_GT(all.rows[shortened - 2].balance, 0.0);
    EXPECT_EQ(0.0, all.rows.back().balance);
    // A negative extra takes the counting path but never clears early.
    doc.SetAdditionalPayment(-0.002);
    EXPECT_EQ(360, doc.GetScheduleLength());
}

TEST(Schedule, NoPeriodsGivesNoRowsAndZeroTotals) {
    for (int periods : {0, -5}) {
        const Listing none = List(Loan({.amount = 1000, .periods = periods, .rate = 5}));
        EXPECT_TRUE(none.rows.empty());
        EXPECT_EQ(0.0, none.totals.running.payment);
    }
}

TEST(Schedule, YearFilter) {
    const CTamsicDoc doc = Mortgage();
    const Listing all = List(doc);

    const Listing first = List(doc, 2003);
    ASSERT_EQ(12u, first.rows.size());
    EXPECT_EQ(first.totals.annual.payment, first.totals.running.payment);
    EXPECT_EQ(first.totals.annual.interest, first.totals.running.interest);

    const Listing second = List(doc, 2004);
    ASSERT_EQ(12u, second.rows.size());
    EXPECT_EQ(13, second.rows.front().period);  // numbering does not restart
    EXPECT_NEAR(first.totals.running.payment + second.totals.annual.payment,
                second.totals.running.payment, 1e-6);

    const Listing last = List(doc, 2032);
    EXPECT_EQ(all.totals.running.payment, last.totals.running.payment);
    EXPECT_EQ(all.totals.running.interest, last.totals.running.interest);

    const Listing before = List(doc, 2002);
    EXPECT_TRUE(before.rows.empty());
    EXPECT_EQ(0.0, before.totals.running.payment);

    const Listing after = List(doc, 2040);
    EXPECT_TRUE(after.rows.empty());
    EXPECT_EQ(0.0, after.totals.annual.payment);
    EXPECT_EQ(all.totals.running.payment, after.totals.running.payment);
}

TEST(Schedule, RowsOfTheYearMatchTheFullListing) {
    const CTamsicDoc doc = Loan({.amount = 250000,
                                 .periods = 1300,
                                 .rate = 4.25,
                                 .first = OleDateTime::FromDate(2026, 1, 1),
                                 .payment = 0});
    const Listing all = List(doc);
    for (int year : {2026, 2030, 2050}) {
        const Listing one = List(doc, year);
        ASSERT_FALSE(one.rows.empty());
        EXPECT_EQ(size_t(CountRowsInYear(doc, year)), one.rows.size());
        const ScheduleRow& row = one.rows.front();
        const ScheduleRow& same = all.rows[size_t(row.period - 1)];
        EXPECT_EQ(same.balance, row.balance);
        EXPECT_EQ(year, ToCivil(row.date)->year);
        if (row.period > 1) {
            EXPECT_EQ(year - 1, ToCivil(all.rows[size_t(row.period - 2)].date)->year);
        }
    }
}

std::vector<std::string> Dates(const CTamsicDoc& doc, size_t count) {
    std::vector<std::string> dates;
    for (const ScheduleRow& row : List(doc).rows) {
        if (dates.size() == count) break;
        dates.push_back(FormatDate(row.date));
    }
    return dates;
}

// A walk resumed from a checkpoint must give bit for bit the rows and totals of a walk
// from the first row: for every year, and for the whole list entered at any row.
TEST(ScheduleCheckpoints, ResumedWalksEqualTheFullWalk) {
    const CTamsicDoc loans[] = {
        Loan({.amount = 900000000000, .periods = 5000, .rate = 7, .payment = 0, .extra = 7}),
        Loan({.periods = 3000, .rate = 9, .balloon = 2900}),
        Loan({.periods = 4000, .first = OleDateTime(0, OleDateTime::Status::Null)}),
        Loan({.periods = 2500, .payment = 9}),  // a code without dates' steps
    };
    for (const CTamsicDoc& doc : loans) {
        const ScheduleCheckpoints checkpoints(doc.GetScheduleBasis());
        const Listing all = List(doc);
        ASSERT_EQ(all.rows.size(), size_t(checkpoints.Length()));
        const auto firstYear = ScheduleGenerator(doc, kAllYears).Calendar().FirstYear();
        for (int year = firstYear - 1; year <= firstYear + 120; ++year) {
            const Listing plain = List(doc, year);
            ScheduleGenerator resumed(doc, year, &checkpoints);
            ScheduleRow row;
            for (const ScheduleRow& expected : plain.rows) {
                ASSERT_TRUE(resumed.Next(row));
                ASSERT_TRUE(SameRow(expected, row)) << year << " row " << expected.period;
            }
            EXPECT_FALSE(resumed.Next(row));
            EXPECT_TRUE(SameTotals(plain.totals.annual, resumed.Totals().annual)) << year;
            EXPECT_TRUE(SameTotals(plain.totals.running, resumed.Totals().running)) << year;
        }
        for (const std::int64_t skip : {0, 1, 1023, 1024, 1025, 2047, 2500, 4999, 6000}) {
            ScheduleGenerator resumed(doc, kAllYears, &checkpoints);
            resumed.SkipListed(skip);
            ScheduleRow row;
            for (std::size_t i = std::size_t(skip); i < all.rows.size(); ++i) {
                ASSERT_TRUE(resumed.Next(row));
                ASSERT_TRUE(SameRow(all.rows[i], row)) << "skip " << skip << " row " << i;
            }
            EXPECT_FALSE(resumed.Next(row));
            EXPECT_TRUE(SameTotals(all.totals.running, resumed.Totals().running)) << skip;
        }
    }
    // Checkpoints of other terms are not used.
    const ScheduleCheckpoints other(Loan({.rate = 7}).GetScheduleBasis());
    ScheduleGenerator gen(Loan(), kAllYears, &other);
    gen.SkipListed(359);
    ScheduleRow last;
    ASSERT_TRUE(gen.Next(last));
    EXPECT_TRUE(SameRow(List(Loan()).rows.back(), last));
}

TEST(ScheduleDates, StepsFromTheFirstPayment) {
    using V = std::vector<std::string>;
    const struct {
        OleDateTime first;
        int payment;
        V dates;
    } cases[] = {
        {OleDateTime::FromDate(2024, 1, 31),
         2,  // month ends clamp, then come back
         {"01/31/2024", "02/29/2024", "03/31/2024", "04/30/2024", "05/31/2024"}},
        {OleDateTime::FromDate(2023, 1, 31), 3, {"01/31/2023", "03/31/2023", "05/31/2023"}},
        {OleDateTime::FromDate(2024, 2, 29),
         6,
         {"02/29/2024", "02/28/2025", "02/28/2026", "02/28/2027", "02/29/2028"}},
        {OleDateTime::FromDate(2003, 1, 15), 2, {"01/15/2003", "02/15/2003", "03/15/2003"}},
        // An unknown payment code leaves the date where it is.
        {OleDateTime::FromDate(2003, 1, 15), 9, {"01/15/2003", "01/15/2003"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.dates, Dates(Loan({.periods = 12, .first = c.first, .payment = c.payment}),
                                 c.dates.size()));
    }
    // Weekly from a Monday stays on Mondays, keeping the time of day.
    const OleDateTime monday = OleDateTime::FromCivil({2026, 1, 5, 9, 30, 0});
    const Listing weekly = List(Loan({.periods = 60, .first = monday, .payment = 0}));
    for (const ScheduleRow& row : weekly.rows) {
        const auto civil = ToCivil(row.date);
        EXPECT_EQ(9, civil->hour);
        EXPECT_EQ(1, (ToDayAndSecond(row.date)->day - ToDayAndSecond(monday)->day) % 7 + 1);
    }
    EXPECT_EQ("01/05/2026", FormatDate(weekly.rows[0].date));
    const Listing biweekly = List(Loan({.periods = 5, .first = monday, .payment = 1}));
    EXPECT_EQ("01/19/2026", FormatDate(biweekly.rows[1].date));
    // Monthly rows after the first are at midnight.
    const Listing monthly =
        List(Loan({.periods = 3, .first = OleDateTime::FromCivil({2026, 5, 1, 10, 0, 0})}));
    EXPECT_EQ(OleDateTime::FromDate(2026, 6, 1), monthly.rows[1].date);
}

TEST(ScheduleDates, InvalidFirstDateListsEveryRowWithoutDates) {
    CTamsicDoc doc = Mortgage();
    doc.SetFirstPaymentDate(OleDateTime(37622.0, OleDateTime::Status::Null));
    EXPECT_FALSE(ScheduleHasYears(doc));
    ScheduleGenerator gen(doc, 2003);  // the filter has no years to work on
    EXPECT_EQ(kAllYears, gen.Year());
    const Listing all = List(doc, 2003);
    ASSERT_EQ(360u, all.rows.size());
    EXPECT_EQ("", FormatDate(all.rows[5].date));
}

TEST(ScheduleYears, TabsAndCounts) {
    const CTamsicDoc doc = Mortgage();
    const YearSpan span = ScheduleYears(doc);
    EXPECT_EQ(2003, span.first);
    EXPECT_EQ(2032, span.last);
    EXPECT_EQ(30, span.Count());
    EXPECT_EQ(12, CountRowsInYear(doc, 2003));
    EXPECT_EQ(360, CountRowsInYear(doc, kAllYears));
    EXPECT_EQ(0, CountRowsInYear(doc, 2033));
    EXPECT_TRUE(ScheduleHasYears(doc));

    CTamsicDoc annual =
        Loan({.amount = 1000, .periods = 10, .rate = 5, .payment = 6, .compound = 7});
    EXPECT_FALSE(ScheduleHasYears(annual));

    const YearSpan none = ScheduleYears(Loan(
        {.amount = 1000, .periods = 0, .rate = 5, .first = OleDateTime::FromDate(2003, 6, 1)}));
    EXPECT_EQ(1, none.Count());
}

TEST(TotalInterest, MatchesTheScheduleRows) {
    CTamsicDoc doc = Mortgage();
    EXPECT_NEAR(List(doc).totals.running.interest, doc.GetTotalInterest(), 1e-6);
    doc.SetBalloon(true);
    doc.SetBalloonPeriod(60);
    EXPECT_NEAR(List(doc).totals.running.interest, doc.GetTotalInterest(), 1e-6);
    doc.SetBalloon(false);
    doc.SetAdditionalPayment(250);
    EXPECT_NEAR(List(doc).totals.running.interest, doc.GetTotalInterest(), 1e-6);
    doc.SetNumPeriods(0);
    EXPECT_EQ(0.0, doc.GetTotalInterest());
}

TEST(Schedule, FitsCalendar) {
    CTamsicDoc doc = Loan({.amount = 1000,
                           .periods = 1000000,
                           .rate = 5,
                           .first = OleDateTime::FromDate(2026, 1, 1)});
    EXPECT_FALSE(ScheduleFitsCalendar(doc));
    doc.SetNumPeriods(12 * (9999 - 2026) + 12);
    doc.ComputePayment();
    EXPECT_TRUE(ScheduleFitsCalendar(doc));
    doc.SetNumPeriods(doc.GetNumPeriods() + 1);
    doc.ComputePayment();
    EXPECT_FALSE(ScheduleFitsCalendar(doc));
    // 400,000 weekly payments from 2026 end in the 98th century.
    const CTamsicDoc weekly = Loan({.amount = 1000000,
                                    .periods = 400000,
                                    .rate = 5,
                                    .first = OleDateTime::FromDate(2026, 1, 1),
                                    .payment = 0});
    EXPECT_TRUE(ScheduleFitsCalendar(weekly));
    EXPECT_EQ(400000u, List(weekly).rows.size());
}

}  // namespace
}  // namespace brellow
