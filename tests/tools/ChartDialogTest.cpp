#include "engine/CTamsicDoc.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/support/TestLoans.h"
#include "tools/CBalanceChartDlg.h"
#include "tools/CPaymentChartDlg.h"
#include "tools/CTotalChartDlg.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

using brellow::test::Loan;

const QRgb kRed = qRgb(238, 0, 0);
const QRgb kBlue = qRgb(0, 0, 238);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kPatch = qRgb(218, 218, 218);

bool Any(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test) {
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (test(image.pixel(x, y))) return true;
        }
    }
    return false;
}

bool AnyOf(const QImage& image, const QRect& area, QRgb colour) {
    return Any(image, area, [colour](QRgb pixel) { return pixel == colour; });
}

// The series colours, antialiased edges included.
bool Reddish(QRgb p) {
    return qRed(p) > 150 && qGreen(p) < 100 && qBlue(p) < 100;
}
bool Bluish(QRgb p) {
    return qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100;
}

QImage Screen(ChartDialog& dlg) {
    return dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The chart's points by the arithmetic of its definition, walked here on their own.
struct Point {
    int x;
    double interestY;
    double principalY;
};

struct Plot {
    int width;
    int height;
    int top;
    double vScale;
    std::vector<Point> points;
};

Plot PlotOf(const ChartDialog& dlg, const brellow::CTamsicDoc& doc) {
    Plot plot;
    plot.width = dlg.frameGeometry().width() - 270;
    plot.height = dlg.frameGeometry().height() - 120;
    plot.top = 300 - plot.height;
    const int periods = doc.GetScheduleLength();
    const double full = doc.GetPayment() + doc.GetAdditionalPayment();
    const double rate = doc.GetPeriodicRate();
    plot.vScale = plot.height / full;
    const double hScale = static_cast<double>(plot.width) / periods;
    double balance = doc.GetLoanAmount();
    for (int i = 0; i < periods; ++i) {
        const double interest = rate * balance;
        double principal = full - interest;
        if (i == periods - 1) principal = balance;
        balance -= principal;
        plot.points.push_back({90 + static_cast<int>(i * hScale),
                               300 - std::trunc(interest * plot.vScale),
                               300 - std::trunc(principal * plot.vScale)});
    }
    return plot;
}

TEST(PaymentChart, DrawsWithARealFont) {
    const brellow::CTamsicDoc doc = Loan();
    CPaymentChartDlg dlg(doc);
    EXPECT_FALSE(QFontInfo(dlg.font()).family().isEmpty());
    EXPECT_TRUE(QFontMetrics(dlg.font()).inFont(QLatin1Char('7')));
    EXPECT_EQ("Individual Payment Distribution Chart", dlg.windowTitle());
    EXPECT_EQ(QSize(740, 371), dlg.size());
}

TEST(PaymentChart, FrameAndSeriesEndsWhereTheArithmeticPutsThem) {
    const struct {
        const char* name;
        brellow::test::LoanFields loan;
    } cases[] = {
        {"360 payments", {}},
        {"balloon at 60", {.balloon = 60}},
        {"one payment", {.periods = 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const brellow::CTamsicDoc doc = Loan(c.loan);
        CPaymentChartDlg dlg(doc);
        const QImage image = Screen(dlg);
        const Plot plot = PlotOf(dlg, doc);
        const int right = 90 + plot.width;

        for (const QPoint corner :
             {QPoint(90, 300), QPoint(90, plot.top), QPoint(right, 300), QPoint(right, plot.top)}) {
            EXPECT_EQ(kBlack, image.pixel(corner)) << corner.x() << "," << corner.y();
        }
        EXPECT_NE(kBlack, image.pixel(90 + plot.width / 2, plot.top)) << "top edge";

        const Point& first = plot.points.front();
        const Point& last = plot.points.back();
        if (plot.points.size() == 1) {
            const QRect area(90, plot.top, plot.width + 1, plot.height);
            EXPECT_FALSE(Any(image, area, Reddish));
            EXPECT_FALSE(Any(image, area, Bluish));
            continue;
        }
        EXPECT_EQ(kRed, image.pixel(first.x + 1, static_cast<int>(first.interestY) - 1));
        EXPECT_EQ(kBlue, image.pixel(first.x + 1, static_cast<int>(first.principalY) - 1));
        EXPECT_TRUE(Reddish(image.pixel(last.x - 1, static_cast<int>(last.interestY) - 1)));
        EXPECT_FALSE(Any(image, QRect(last.x + 3, 0, 20, 300), Reddish)) << "past the end";
        if (last.principalY > 0) {
            EXPECT_TRUE(Bluish(image.pixel(last.x - 1, static_cast<int>(last.principalY))));
        } else {
            // The payoff's tall step: a nearly upright line through the whole plot.
            const Point& before = plot.points[plot.points.size() - 2];
            for (const int y : {plot.top + 1, 150, static_cast<int>(before.principalY) - 5}) {
                const double t = (before.principalY - y) / (before.principalY - last.principalY);
                const double x = before.x + t * (last.x - before.x);
                EXPECT_EQ(kBlue, image.pixel(static_cast<int>(x), y)) << "row " << y;
            }
        }
    }
}

TEST(PaymentChart, ValueLabelsMoveOffTheirNeighboursAndKeepEveryDigit) {
    // Labels stand on grey patches ending at x = 85, each 15 pixels high.
    const auto labelAt = [](const QImage& image, int top) {
        return AnyOf(image, QRect(60, top, 25, 13), kPatch);
    };
    {
        // 6 %: the first interest's label stays beside its point.
        const brellow::CTamsicDoc doc = Loan();
        CPaymentChartDlg dlg(doc);
        const QImage image = Screen(dlg);
        const Plot plot = PlotOf(dlg, doc);
        const int interestY =
            300 - static_cast<int>(plot.vScale * doc.GetPeriodicRate() * doc.GetLoanAmount());
        EXPECT_TRUE(labelAt(image, interestY - 5));
        EXPECT_FALSE(labelAt(image, plot.top + 15));
    }
    {
        // 120 %: the first interest is the whole payment and the first principal about 0,
        // so one label moves below the top label and the other above the "0".
        const brellow::CTamsicDoc doc = Loan({.rate = 120});
        CPaymentChartDlg dlg(doc);
        const QImage image = Screen(dlg);
        const Plot plot = PlotOf(dlg, doc);
        EXPECT_TRUE(labelAt(image, plot.top - 5));
        EXPECT_TRUE(labelAt(image, plot.top + 15));
        EXPECT_TRUE(labelAt(image, 265));
        EXPECT_FALSE(AnyOf(image, QRect(5, 281, 74, 30), kPatch));
    }
}

// The rows, from the top, of the label patches left of the plot above the "0" label: one
// run of rows per label.
std::vector<std::pair<int, int>> LabelRuns(const QImage& image, int left) {
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < 284; ++y) {
        if (!AnyOf(image, QRect(0, y, left - 12, 1), kPatch)) continue;
        if (!runs.empty() && runs.back().second == y - 1) {
            runs.back().second = y;
        } else {
            runs.emplace_back(y, y);
        }
    }
    return runs;
}

TEST(PaymentChart, ValueLabelsKeepEveryDigitApartAndClearOfThePlot) {
    const struct {
        const char* name;
        brellow::test::LoanFields loan;
        int growth;  // 0: the fixed size
    } cases[] = {
        {"6 %", {}, 0},
        {"120 %: labels below the top one and above the 0", {.rate = 120}, 0},
        {"first interest half the payment: the two labels meet", {.periods = 12, .rate = 66}, 0},
        {"0 %: no interest, its label above the 0", {.rate = 0}, 0},
        {"payments of millions", {.amount = 900000000000.0}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const brellow::CTamsicDoc doc = Loan(c.loan);
        CPaymentChartDlg dlg(doc);
        const QImage image = Screen(dlg);
        const int growth = dlg.width() - 740;
        EXPECT_EQ(c.growth != 0, growth > 0);
        const int left = 90 + growth;
        // The frame stays 470 pixels wide, the labels stop 5 pixels short of it and none is
        // cut at the window's edge.
        EXPECT_EQ(kBlack, image.pixel(left, 200));
        EXPECT_EQ(kBlack, image.pixel(left + 470, 200));
        EXPECT_FALSE(AnyOf(image, QRect(left - 5, 0, 10, 284), kPatch));
        EXPECT_FALSE(AnyOf(image, QRect(0, 0, 4, 284), kPatch));
        const auto runs = LabelRuns(image, left);
        EXPECT_EQ(3u, runs.size());
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_LE(runs[i].second - runs[i].first, 15) << i;
        }
    }
}

TEST(Charts, FiguresOnWhitePaperInBlackInkWhateverThePalette) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    const brellow::CTamsicDoc doc = Loan();
    CPaymentChartDlg payment(doc);
    CBalanceChartDlg balance(doc);
    CTotalChartDlg total(doc);
    for (ChartDialog* dlg : std::initializer_list<ChartDialog*>{&payment, &balance, &total}) {
        SCOPED_TRACE(dlg->windowTitle().toStdString());
        dlg->setPalette(dark);
        for (const QImage& image : {Screen(*dlg), dlg->ChartImage()}) {
            EXPECT_EQ(qRgb(255, 255, 255), image.pixel(2, 2));
            EXPECT_TRUE(AnyOf(image, image.rect(), kBlack));
        }
    }
}

TEST(TotalChart, AmountsOfBillionsWidenTheWindow) {
    CTotalChartDlg dlg(1000000000.0, 1000000000.0);
    const QImage image = Screen(dlg);
    EXPECT_GT(dlg.width(), 425);
    EXPECT_TRUE(AnyOf(image, QRect(305, 190, 30, 10), kPatch));
    EXPECT_FALSE(AnyOf(image, QRect(image.width() - 4, 0, 4, image.height()), kPatch));
    EXPECT_EQ(kRed, image.pixel(210, 60)) << "the pie stays where it was";
}

// What a screen reader reads of each chart, on its chart area.
TEST(Charts, TextAlternativesTellTheFigures) {
    const brellow::CTamsicDoc doc = Loan();
    const brellow::CTamsicDoc extra = Loan({.extra = 100});
    const brellow::CTamsicDoc undated =
        Loan({.first = brellow::OleDateTime(0.0, brellow::OleDateTime::Status::Null)});
    CPaymentChartDlg payment(doc);
    CTotalChartDlg total(doc);
    CBalanceChartDlg balance(doc);
    CBalanceChartDlg balanceExtra(extra);
    CBalanceChartDlg balanceUndated(undated);
    const std::pair<ChartDialog*, const char*> cases[] = {
        {&payment,
         "Monthly principal and interest|Payment 1: $500.00 interest and $99.55 principal. "
         "Payment 360: $2.99 interest and $597.09 principal. The lines cross at payment 223 "
         "(07/01/2021): from there on principal exceeds interest."},
        {&total,
         "Total principal and interest|Of $215,838.53 paid in all, the principal is "
         "$100,000.00 (46.33%) and the interest $115,838.53 (53.67%)."},
        {&balance,
         "Balance over time|The balance starts at $100,000.00 and is paid off with payment 360 "
         "on 12/01/2032."},
        {&balanceExtra,
         "Balance over time|The balance starts at $100,000.00 and is paid off with payment 252 "
         "on 12/01/2023. Without the additional payment it is paid off with payment 360 on "
         "12/01/2032: the additional payment saves 108 payments, 9 years and 0 months."},
        {&balanceUndated,
         "Balance over time|The balance starts at $100,000.00 and is paid off with payment 360."},
    };
    for (const auto& [dlg, expected] : cases) {
        QWidget* area = dlg->ChartArea();
        EXPECT_EQ(expected,
                  (area->accessibleName() + "|" + area->accessibleDescription()).toStdString());
        EXPECT_EQ(QAccessible::Graphic, QAccessible::queryAccessibleInterface(area)->role());
    }
}

TEST(TotalChart, EqualInterestAndPrincipalSplitTheCirclesAtTheirCentres) {
    CTotalChartDlg dlg(1000.0, 1000.0);
    EXPECT_EQ("Total Payment Distribution Chart", dlg.windowTitle());
    EXPECT_EQ(QSize(425, 348), dlg.size());
    const QImage image = Screen(dlg);
    // Red: the upper half of the circle around (210, 140); blue: the lower half of the
    // one around (200, 150); nothing between their centre lines.
    for (const QPoint p : {QPoint(210, 60), QPoint(150, 135), QPoint(290, 135)}) {
        EXPECT_EQ(kRed, image.pixel(p)) << p.x() << "," << p.y();
    }
    for (const QPoint p : {QPoint(200, 240), QPoint(120, 155), QPoint(280, 155)}) {
        EXPECT_EQ(kBlue, image.pixel(p)) << p.x() << "," << p.y();
    }
    const QRect between(110, 142, 190, 7);
    EXPECT_FALSE(Any(image, between, Reddish));
    EXPECT_FALSE(Any(image, between, Bluish));
    EXPECT_TRUE(AnyOf(image, QRect(315, 80, 30, 10), kPatch));
    EXPECT_TRUE(AnyOf(image, QRect(305, 210, 30, 10), kPatch));
}

TEST(TotalChart, ASliceOfNoTurnIsEmptyAndOneOfAFullTurnIsTheCircle) {
    // Without interest both ends of the red slice lie at three o'clock; with interest of
    // 10^8 times the amount the angle passes 2π and the blue slice's ends meet.
    const struct {
        double amount;
        double interest;
        std::function<bool(QRgb)> absent;
        QRgb whole;
        QPoint inside[2];
    } cases[] = {
        {1000.0, 0.0, Reddish, kBlue, {QPoint(200, 60), QPoint(200, 240)}},
        {1.0, 1e8, Bluish, kRed, {QPoint(210, 50), QPoint(210, 230)}},
    };
    for (const auto& c : cases) {
        CTotalChartDlg dlg(c.amount, c.interest);
        const QImage image = Screen(dlg);
        EXPECT_FALSE(Any(image, image.rect(), c.absent)) << c.interest;
        for (const QPoint p : c.inside) EXPECT_EQ(c.whole, image.pixel(p)) << c.interest;
    }
}

TEST(Charts, NothingToChartWithoutAScale) {
    const brellow::CTamsicDoc noPayment = Loan({.amount = 0});
    CPaymentChartDlg payment(noPayment);
    CBalanceChartDlg noBalance(noPayment);
    CTotalChartDlg noAmount(0.0, 0.0);
    CTotalChartDlg cancelled(1000.0, -1000.0);
    CTotalChartDlg charted(1000.0, 500.0);
    EXPECT_TRUE(charted.NothingToChart().isEmpty());
    for (ChartDialog* dlg :
         std::initializer_list<ChartDialog*>{&payment, &noBalance, &noAmount, &cancelled}) {
        EXPECT_TRUE(dlg->NothingToChart().startsWith("Nothing to chart: "));
        const QImage image = Screen(*dlg);
        EXPECT_FALSE(Any(image, image.rect(), Reddish));
        EXPECT_FALSE(Any(image, image.rect(), Bluish));
        EXPECT_TRUE(AnyOf(image, QRect(0, 100, image.width(), 150), kBlack)) << "the text";
    }
}

// A negative amount or total interest of the schedule (not of one period) shows why there
// is no pie.
TEST(TotalChart, ANegativeAmountOrInterestShowsWhyThereIsNoPie) {
    const std::pair<brellow::test::LoanFields, const char*> cases[] = {
        {{}, ""},
        {{.amount = -100000},
         "Nothing to chart: the loan amount is negative ($-100,000.00), so principal and "
         "interest are not parts of one whole."},
        {{.rate = -6},
         "Nothing to chart: the total interest is negative ($-64,546.72), so principal and "
         "interest are not parts of one whole."},
    };
    for (const auto& [loan, reason] : cases) {
        QString shown;
        gui_test::WhenModal<CTotalChartDlg>([&shown](CTotalChartDlg* dlg) {
            shown = dlg->NothingToChart();
            dlg->reject();
        });
        ShowTotalChart(Loan(loan), nullptr);
        EXPECT_EQ(reason, shown.toStdString());
    }
}

TEST(Charts, EnabledForLoansWithPeriods) {
    for (const auto& [periods, enabled] : {std::pair{0, false}, {-3, false}, {1, true}}) {
        EXPECT_EQ(enabled, CanChartLoan(Loan({.periods = periods}))) << periods;
    }
}

TEST(Charts, CopiedAndSavedPicturesAreTheScreensChart) {
    const brellow::CTamsicDoc doc = Loan({.balloon = 60});
    CPaymentChartDlg dlg(doc);
    const QImage chart = dlg.ChartImage();
    ASSERT_EQ(dlg.size(), chart.size());

    // The screen shows the same picture around the "Close" button.
    QImage screen = Screen(dlg);
    const QRect button = dlg.findChild<QPushButton*>()->geometry();
    QImage expected = chart.convertToFormat(QImage::Format_RGB32);
    for (int y = button.top(); y <= button.bottom(); ++y) {
        for (int x = button.left(); x <= button.right(); ++x) {
            screen.setPixel(x, y, 0);
            expected.setPixel(x, y, 0);
        }
    }
    EXPECT_TRUE(screen == expected);

    dlg.CopyImageAction()->trigger();
    EXPECT_TRUE(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32) ==
                chart.convertToFormat(QImage::Format_RGB32));

    QTemporaryDir dir;
    const QString png = dir.filePath("chart.PNG");
    const QString svg = dir.filePath("chart.svg");
    EXPECT_EQ("", dlg.SaveImage(png));
    EXPECT_EQ("", dlg.SaveImage(svg));
    const QImage saved(png);
    EXPECT_EQ(chart.size(), saved.size());
    EXPECT_TRUE(saved.convertToFormat(QImage::Format_RGB32) ==
                chart.convertToFormat(QImage::Format_RGB32));
    QSvgRenderer drawing(svg);
    ASSERT_TRUE(drawing.isValid());
    EXPECT_EQ(QRect(QPoint(), chart.size()), drawing.viewBox());

    CTotalChartDlg total(1000.0, 1000.0);
    EXPECT_EQ("", total.SaveImage(svg));
    QFile text(svg);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QByteArray content = text.readAll();
    for (const char* label : {"Interest", "$1,000.00", "50.00%"}) {
        EXPECT_TRUE(content.contains(label)) << label;
    }
}

TEST(Charts, SavingNamesTheFileAndTheReason) {
    CTotalChartDlg dlg(1000.0, 500.0);
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.jpg");
    const QString missing = dir.filePath("no/such/folder/chart.png");
    EXPECT_EQ("Cannot save " + kept + ": the name must end in .png or .svg.", dlg.SaveImage(kept));
    EXPECT_FALSE(QFile::exists(kept));
    EXPECT_TRUE(dlg.SaveImage(missing).startsWith("Cannot save " + missing + ": "));

    // A pipe, or a link to a device, is written through, never replaced by a file. The
    // device is the test's own null device (root only), so a fault cannot replace the system's.
    const QString pipe = dir.filePath("pipe.png");
    ASSERT_EQ(0, ::mkfifo(QFile::encodeName(pipe).constData(), 0600));
    EXPECT_EQ("Cannot save " + pipe + ": nobody is reading from " + pipe + ".",
              dlg.SaveImage(pipe));
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    const QString device = dir.filePath("null");
    const QString link = dir.filePath("null.svg");
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        ASSERT_TRUE(QFile::link(device, link));
        EXPECT_EQ("", dlg.SaveImage(link));
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_FALSE(QFileInfo(device).isFile());
    }
}

TEST(Charts, SaveImageAsAddsTheSuffixOfTheChosenType) {
    CTotalChartDlg dlg(1000.0, 500.0);
    QTemporaryDir dir;
    gui_test::WhenModal<QFileDialog>([&](QFileDialog* files) {
        EXPECT_EQ("Save Image As", files->windowTitle());
        files->selectNameFilter("SVG image (*.svg)");
        files->selectFile(dir.filePath("pie"));
        QMetaObject::invokeMethod(files, "accept");
    });
    dlg.SaveImageAction()->trigger();
    EXPECT_TRUE(QSvgRenderer(dir.filePath("pie.svg")).isValid());

    // The question whether to replace a file is about the name with its suffix.
    QFile keep(dir.filePath("keep.png"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly) && keep.write("old") == 3);
    keep.close();
    QString question;
    gui_test::WhenModal<QFileDialog>([&](QFileDialog* files) {
        gui_test::WhenModal<QMessageBox>([&question](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::No)->click();
        });
        files->selectFile(dir.filePath("keep"));
        QMetaObject::invokeMethod(files, "accept");
        files->reject();
    });
    dlg.SaveImageAction()->trigger();
    EXPECT_TRUE(question.contains("keep.png")) << question.toStdString();
    ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
    EXPECT_EQ("old", keep.readAll());
}

TEST(Charts, TheCommandsShowTheirDialogsUntilClosed) {
    const brellow::CTamsicDoc doc = Loan();
    QStringList shown;
    const auto close = [&shown](ChartDialog* dlg) {
        shown << dlg->windowTitle();
        dlg->findChild<QPushButton*>()->click();
    };
    gui_test::WhenModal<ChartDialog>(close);
    ShowPaymentChart(doc, nullptr);
    gui_test::WhenModal<ChartDialog>(close);
    ShowTotalChart(doc, nullptr);
    EXPECT_EQ(
        QStringList({"Individual Payment Distribution Chart", "Total Payment Distribution Chart"}),
        shown);
}

}  // namespace

// The series are kept between paints: a change of the terms or of the size must still
// show what a new dialog shows.
TEST(PaymentChart, KeptSeriesFollowTheTermsAndTheSize) {
    brellow::CTamsicDoc doc = Loan();
    CPaymentChartDlg dlg(doc);
    Screen(dlg);
    const brellow::CTamsicDoc changed = Loan({.periods = 120, .extra = 100});
    doc.SetTerms(changed.GetTerms());
    doc.ComputePayment();
    CPaymentChartDlg fresh(changed);
    EXPECT_EQ(Screen(fresh), Screen(dlg));
    dlg.setFixedSize(900, 500);
    fresh.setFixedSize(900, 500);
    EXPECT_EQ(Screen(fresh), Screen(dlg));
}
