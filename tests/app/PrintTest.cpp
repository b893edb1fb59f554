#include "app/CBrellowApp.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/support/TestLoans.h"
#include "tests/view/PdfText.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"
#include "view/LoanPrinter.h"
#include "view/PrintPreviewDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <numeric>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Command = CMainFrame::Command;
using gui_test::Store;
using gui_test::WhenModal;

std::vector<int> Periods(int first, int last) {
    std::vector<int> periods(static_cast<std::size_t>(last - first + 1));
    std::iota(periods.begin(), periods.end(), first);
    return periods;
}

std::vector<int> PrintedPeriods(const std::vector<std::string>& pages) {
    std::vector<int> periods;
    for (const std::string& page : pages) {
        const std::vector<int> rows = pdf_text::Periods(page);
        periods.insert(periods.end(), rows.begin(), rows.end());
    }
    return periods;
}

std::string Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
}

// The worked mortgage, 360 monthly payments from January 2003, in a window of the program.
class PrintTest : public ::testing::Test {
protected:
    PrintTest() {
        gui_test::ClearSettings();
        frame = std::make_unique<CMainFrame>();
        frame->show();
        CChildFrame* const child = frame->OnFileNew();
        view = child->GetView();
        LoanDocument& document = child->GetDocument();
        document.doc().m_bParametersPending = false;
        document.doc().SetTerms(brellow::test::LoanFields{}.Terms());
        document.doc().ComputePayment();
        document.notifyTermsChanged();
    }

    int Counted() const {
        return LoanPrinter(*view, true).CountPages(PrintArea::Of(frame->Printer()));
    }

    QTemporaryDir dir;
    std::unique_ptr<CMainFrame> frame;
    CTamsicView* view = nullptr;
};

TEST_F(PrintTest, ThePrintDialogIsToldThePagesThatPrintForTheYearShown) {
    const struct {
        int tab;
        std::vector<int> periods;
    } cases[] = {{0, Periods(1, 360)}, {3, Periods(25, 36)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab);
        view->SelectTab(c.tab);
        const QString path = dir.filePath(QStringLiteral("tab%1.pdf").arg(c.tab));
        frame->Printer().setOutputFileName(path);
        int minPage = 0;
        int maxPage = 0;
        WhenModal<QPrintDialog>([&](QPrintDialog* dialog) {
            minPage = dialog->minPage();
            maxPage = dialog->maxPage();
            dialog->accept();
        });
        frame->GetAction(Command::Print)->trigger();
        const std::vector<std::string> pages = pdf_text::Pages(path);
        EXPECT_EQ(1, minPage);
        EXPECT_EQ(Counted(), maxPage);
        EXPECT_EQ(maxPage, static_cast<int>(pages.size()));
        EXPECT_EQ(c.periods, PrintedPeriods(pages));
    }
}

TEST_F(PrintTest, PreviewShowsThePagesAndRemembersTwoSideBySide) {
    const auto preview = [this](bool showTwo) {
        int pages = 0;
        int sideBySide = 0;
        WhenModal<PrintPreviewDialog>([&](PrintPreviewDialog* dialog) {
            pages = dialog->PageCount();
            sideBySide = dialog->PagesSideBySide();
            if (showTwo) dialog->findChild<QAction*>(QStringLiteral("facingModeAction"))->trigger();
            dialog->reject();
        });
        frame->GetAction(Command::PrintPreview)->trigger();
        EXPECT_EQ(Counted(), pages);
        return sideBySide;
    };
    // Closed as it opened: nothing is written.
    EXPECT_EQ(1, preview(false));
    EXPECT_FALSE(Store().contains(QStringLiteral("Settings/PreviewPages")));
    EXPECT_EQ(1, preview(true));
    EXPECT_EQ(2, Store().value(QStringLiteral("Settings/PreviewPages")).toInt());
    EXPECT_EQ(2, preview(false));
}

TEST_F(PrintTest, PrintInThePreviewPrintsEveryPageOnceItIsClosed) {
    const QString path = dir.filePath(QStringLiteral("preview.pdf"));
    frame->Printer().setOutputFileName(path);
    WhenModal<PrintPreviewDialog>([](PrintPreviewDialog* dialog) {
        WhenModal<QPrintDialog>([](QPrintDialog* print) { print->accept(); });
        dialog->findChild<QAction*>(QStringLiteral("printAction"))->trigger();
    });
    frame->GetAction(Command::PrintPreview)->trigger();
    EXPECT_EQ(Periods(1, 360), PrintedPeriods(pdf_text::Pages(path)));
}

// A long print names the page it prints and can be cancelled; the window keeps handling its
// events meanwhile. Cancelled, a PDF leaves an old file as it was and no temporary file.
TEST_F(PrintTest, ALongPrintCanBeCancelledAndLeavesNothingBehind) {
    LoanDocument& document = view->GetDocument();
    document.doc().SetTerms(brellow::test::LoanFields{.amount = 900000000000.0,
                                                      .periods = 400000,
                                                      .rate = 0.01,
                                                      .payment = 0}
                                .Terms());
    document.doc().ComputePayment();
    document.notifyTermsChanged();
    const QString path = dir.filePath(QStringLiteral("long.pdf"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    frame->Printer().setOutputFileName(path);

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(5);
    QString shown;
    WhenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
    WhenModal<QProgressDialog>([&shown](QProgressDialog* progress) {
        shown = progress->labelText();
        progress->cancel();
    });
    frame->GetAction(Command::Print)->trigger();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Printing page "))) << shown.toStdString();
    EXPECT_GT(ticks, 0);
    EXPECT_EQ("old", Contents(path));
    EXPECT_EQ(QStringList{QStringLiteral("long.pdf")},
              QDir(dir.path()).entryList(QDir::Files | QDir::Hidden));
}

class PrintFromCommandLineTest : public ::testing::Test {
protected:
    PrintFromCommandLineTest() {
        gui_test::ClearSettings();
        LoanDocument document(brellow::test::Loan());
        EXPECT_TRUE(document.saveTo(loan).isEmpty());
    }

    struct Outcome {
        std::optional<int> status;
        std::string out;
        std::string err;
    };

    static Outcome Run(const QStringList& arguments) {
        std::ostringstream out;
        std::ostringstream err;
        const std::optional<int> status = CBrellowApp::RunWithoutWindow(arguments, out, err);
        return {status, out.str(), err.str()};
    }

    QTemporaryDir dir;
    const QString loan = dir.filePath(QStringLiteral("loan.brw"));
    const QString pdf = dir.filePath(QStringLiteral("loan.pdf"));
};

TEST_F(PrintFromCommandLineTest, PrintsEveryYearToPdfAsTheTableSettingSays) {
    for (const bool showTable : {true, false}) {
        SCOPED_TRACE(showTable);
        Store().setValue(QStringLiteral("ShowTable"), showTable ? 1 : 0);
        const Outcome outcome = Run({QStringLiteral("--print-to-pdf"), pdf, loan});
        EXPECT_EQ(0, outcome.status);
        EXPECT_EQ("", outcome.out + outcome.err);
        const std::vector<std::string> pages = pdf_text::Pages(pdf);
        ASSERT_FALSE(pages.empty());
        EXPECT_EQ(showTable ? Periods(1, 360) : std::vector<int>(), PrintedPeriods(pages));
        EXPECT_EQ(1, pdf_text::Count(pages.front(), "Loan Amount: $100,000.00"));
        EXPECT_EQ(showTable ? 1 : 0, pdf_text::Count(pages.back(), "Running Totals:"));
        if (!showTable) {
            EXPECT_EQ(1u, pages.size());
        }
    }
}

// "-" is standard output.
TEST_F(PrintFromCommandLineTest, DashPrintsToStandardOutput) {
    ASSERT_EQ(0, Run({QStringLiteral("--print-to-pdf"), pdf, loan}).status);
    const Outcome piped = Run({QStringLiteral("--print-to-pdf"), QStringLiteral("-"), loan});
    EXPECT_EQ(0, piped.status);
    EXPECT_EQ("", piped.err);
    const QString received = dir.filePath(QStringLiteral("received.pdf"));
    QFile file(received);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(piped.out.data(), static_cast<qint64>(piped.out.size()));
    file.close();
    EXPECT_EQ(pdf_text::Pages(pdf), pdf_text::Pages(received));

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    std::ostringstream err;
    EXPECT_EQ(1, CBrellowApp::RunWithoutWindow(
                     {QStringLiteral("--print-to-pdf"), QStringLiteral("-"), loan}, broken, err));
    EXPECT_EQ("brellow: Cannot write standard output.\n", err.str());
}

TEST_F(PrintFromCommandLineTest, FailuresNameTheFileAndLeaveTheOutputAlone) {
    const QString missing = dir.filePath(QStringLiteral("missing.brw"));
    const QString folderless = dir.filePath(QStringLiteral("no/such/folder/out.pdf"));
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    // The loan printed, under its name or a link's, and a pipe that nobody reads.
    const QString link = dir.filePath(QStringLiteral("link.pdf"));
    const QString pipe = dir.filePath(QStringLiteral("pipe.pdf"));
    ASSERT_TRUE(QFile::link(loan, link));
    ASSERT_EQ(0, ::mkfifo(QFile::encodeName(pipe).constData(), 0600));
    const std::string stored = Contents(loan);
    const std::string overLoan = ": it is " + loan.toStdString() + ", the loan being read.\n";
    const struct {
        QStringList arguments;
        int status;
        std::string err;
    } cases[] = {
        {{QStringLiteral("--print-to-pdf"), loan, loan},
         1,
         "brellow: Cannot write " + loan.toStdString() + overLoan},
        {{QStringLiteral("--print-to-pdf"), link, loan},
         1,
         "brellow: Cannot write " + link.toStdString() + overLoan},
        {{QStringLiteral("--print-to-pdf"), pipe, loan},
         1,
         "brellow: Cannot write " + pipe.toStdString() + ": nobody is reading from " +
             pipe.toStdString() + ".\n"},
        {{QStringLiteral("--print-to-pdf"), pdf, missing},
         1,
         "brellow: Cannot open " + missing.toStdString() + ": No such file or directory.\n"},
        {{QStringLiteral("--print-to-pdf"), folderless, loan},
         1,
         "brellow: Cannot write " + folderless.toStdString() + ": No such file or directory.\n"},
        {{QStringLiteral("--print-to-pdf"), QStringLiteral("/dev/full"), loan},
         1,
         "brellow: Cannot write /dev/full: No space left on device.\n"},
        {{QStringLiteral("--print-to"), QStringLiteral("No Such Printer"), loan},
         1,
         "brellow: Cannot print " + loan.toStdString() +
             ": there is no printer named No Such Printer.\n"},
        // Names are repeated with their control characters escaped.
        {{QStringLiteral("--print-to-pdf"), pdf, dir.filePath(QStringLiteral("a\nb\x1b.brw"))},
         1,
         "brellow: Cannot open " + dir.filePath(QStringLiteral("a")).toStdString() +
             "\\nb\\x1b.brw: No such file or directory.\n"},
        {{QStringLiteral("--print\r")}, 2, "brellow: unknown option --print\\r\n"},
        {{QStringLiteral("--print-to-pdf"), pdf},
         2,
         "brellow: --print-to-pdf takes OUT.pdf FILE.brw\n"},
        {{QStringLiteral("--printout"), loan}, 2, "brellow: unknown option --printout\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const Outcome outcome = Run(c.arguments);
        EXPECT_EQ(c.status, outcome.status);
        EXPECT_EQ(c.err, outcome.err.substr(0, c.err.size()));
        EXPECT_EQ("", outcome.out);
    }
    EXPECT_EQ("old", Contents(pdf));
    EXPECT_EQ(stored, Contents(loan));
    if (QPrinterInfo::defaultPrinterName().isEmpty()) {
        EXPECT_EQ("brellow: Cannot print " + loan.toStdString() +
                      ": there is no default printer.\n",
                  Run({QStringLiteral("--print"), loan}).err);
    }
}

TEST_F(PrintFromCommandLineTest, HelpListsTheSwitchesAndOtherCommandLinesOpenTheWindow) {
    const Outcome help = Run({QStringLiteral("--help")});
    EXPECT_EQ(0, help.status);
    for (const char* line : {"--print FILE.brw ", "--print-to PRINTER FILE.brw ",
                             "--print-to-pdf OUT.pdf FILE.brw ", "--help ", "--version "}) {
        EXPECT_NE(std::string::npos, help.out.find(line)) << line;
    }
    EXPECT_EQ(std::nullopt, Run({}).status);
    EXPECT_EQ(std::nullopt, Run({loan}).status);
}

// The program itself, as a script runs it: without a display, with the status and message
// of main.
TEST_F(PrintFromCommandLineTest, TheProgramPrintsWithoutADisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const auto run = [&](const QString& file) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(BRELLOW_PROGRAM),
                      {QStringLiteral("--print-to-pdf"), pdf, file});
        EXPECT_TRUE(program.waitForFinished(60000));
        return std::make_pair(program.exitCode(), program.readAllStandardError().toStdString());
    };
    // Standard error is no terminal here: no progress on it.
    EXPECT_EQ(std::make_pair(0, std::string()), run(loan));
    EXPECT_EQ(Periods(1, 360), PrintedPeriods(pdf_text::Pages(pdf)));
    // On a terminal, the page being printed, cleared once the print is done.
    QProcess terminal;
    terminal.setProcessEnvironment(environment);
    terminal.start(QStringLiteral("script"),
                   {QStringLiteral("-qec"),
                    QStringLiteral("'%1' --print-to-pdf '%2' '%3'")
                        .arg(QStringLiteral(BRELLOW_PROGRAM), pdf, loan),
                    QStringLiteral("/dev/null")});
    EXPECT_TRUE(terminal.waitForFinished(60000));
    const std::string shown = terminal.readAllStandardOutput().toStdString();
    EXPECT_NE(std::string::npos, shown.find("\rPrinting page 1 of ")) << shown;
    EXPECT_TRUE(shown.ends_with("\r\033[K")) << shown;
    const QString missing = dir.filePath(QStringLiteral("missing.brw"));
    const auto [status, err] = run(missing);
    EXPECT_EQ(1, status);
    EXPECT_NE(std::string::npos, err.find("Cannot open " + missing.toStdString())) << err;
}

// --help, --version and an unknown switch answer before Qt looks for a display: even the
// X11 platform, asked for by name with no display to connect to, is never started.
TEST(ProgramInformation, AnswersWithoutADisplay) {
    for (const char* platform : {"", "xcb"}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (*platform) environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        const struct {
            const char* argument;
            int status;
            const char* out;
            const char* err;
        } cases[] = {{"--version", 0, "brellow 1.0\n", ""},
                     {"--help", 0, "Usage: brellow [FILE.brw]\n", ""},
                     {"--bogus", 2, "", "brellow: unknown option --bogus\n"}};
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(platform) + " " + c.argument);
            QProcess program;
            program.setProcessEnvironment(environment);
            program.start(QStringLiteral(BRELLOW_PROGRAM), {QString::fromLatin1(c.argument)});
            ASSERT_TRUE(program.waitForFinished(60000));
            EXPECT_EQ(QProcess::NormalExit, program.exitStatus());
            EXPECT_EQ(c.status, program.exitCode());
            EXPECT_TRUE(program.readAllStandardOutput().startsWith(c.out));
            const std::string err = program.readAllStandardError().toStdString();
            EXPECT_EQ(c.err, *c.err ? err.substr(0, std::strlen(c.err)) : err);
        }
    }
}

}  // namespace
