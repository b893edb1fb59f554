#include "app/CBrellowApp.h"
#include "tests/support/TestLoans.h"
#include "view/LoanDocument.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <sstream>
#include <string>

namespace {

class ChartCommandTest : public ::testing::Test {
protected:
    ChartCommandTest() {
        LoanDocument document(brellow::test::Loan());
        EXPECT_TRUE(document.saveTo(loan).isEmpty());
    }

    // The exit status and what went to standard error.
    std::pair<int, std::string> Run(const QStringList& arguments) {
        std::ostringstream out;
        std::ostringstream err;
        const std::optional<int> status =
            CBrellowApp::RunWithoutWindow(QStringList{"--chart"} + arguments, out, err);
        EXPECT_EQ("", out.str());
        return {status.value_or(-1), err.str()};
    }

    QTemporaryDir dir;
    const QString loan = dir.filePath("loan.brw");
};

TEST_F(ChartCommandTest, WritesEachChartAsPngAndSvgOfTheWindowsOrTheGivenSize) {
    const struct {
        const char* chart;
        QSize size;
    } cases[] = {{"payment", {740, 371}}, {"total", {425, 348}}, {"balance", {740, 371}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chart);
        const QString png = dir.filePath(QString(c.chart) + ".png");
        const QString svg = dir.filePath(QString(c.chart) + ".SVG");
        EXPECT_EQ((std::pair{0, std::string()}), Run({c.chart, "--output", png, loan}));
        // The balance chart's "$100,000.00" may widen it by a few pixels.
        EXPECT_NEAR(c.size.width(), QImage(png).width(), 10);
        EXPECT_EQ(c.size.height(), QImage(png).height());
        EXPECT_EQ(0, Run({c.chart, loan, "--size", "1200x600", "--output", svg}).first);
        EXPECT_EQ(QRect(0, 0, 1200, 600), QSvgRenderer(svg).viewBox());
    }
}

TEST_F(ChartCommandTest, RefusesWithAMessageNamingTheProblem) {
    const QString png = dir.filePath("chart.png");
    const QString missing = dir.filePath("missing.brw");
    const QString folderless = dir.filePath("no/such/folder/chart.png");
    const struct {
        QStringList arguments;
        int status;
        std::string message;  // the first line
    } cases[] = {
        {{"pie\x1b", "--output", png, loan},
         2,
         "brellow: --chart takes payment, total or balance, not \"pie\\x1b\""},
        {{"payment", loan}, 2, "brellow: --chart needs --output OUT.png or OUT.svg"},
        {{"payment", "--output", dir.filePath("chart.jpg"), loan},
         2,
         "brellow: --output must name a .png or .svg file, not " +
             dir.filePath("chart.jpg").toStdString()},
        {{"payment", "--output", png, "--size", "12x", loan},
         2,
         "brellow: --size takes WIDTHxHEIGHT in pixels, each from 1 to 10000, not 12x"},
        {{"total", "--output", png, "--size", "300x300", loan},
         2,
         "brellow: --size 300x300 is smaller than the total chart of " + loan.toStdString() +
             " needs (425x348)"},
        {{"payment", "--output", png}, 2, "brellow: --chart takes one FILE.brw"},
        {{"payment", "--output", png, missing}, 1, "brellow: Cannot open " + missing.toStdString()},
        {{"payment", "--output", folderless, loan},
         1,
         "brellow: Cannot save " + folderless.toStdString() + ": "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const auto [status, message] = Run(c.arguments);
        EXPECT_EQ(c.status, status);
        EXPECT_EQ(c.message, message.substr(0, c.message.size()));
        EXPECT_EQ(c.status == 2, message.find("Usage: brellow") != std::string::npos);
        EXPECT_FALSE(QFile::exists(png));
    }
}

}  // namespace
