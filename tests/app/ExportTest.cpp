#include "app/ExportCommands.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "engine/Schedule.h"
#include "output/LoanWriters.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/support/TestLoans.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

namespace {

using Command = CMainFrame::Command;
using brellow::LoanFormat;
using gui_test::WhenModal;

std::string Contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "(missing)";
    return file.readAll().toStdString();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Answers the next file dialog with `path`, then, when `replace` is set, the question
// whether to replace the file that is there.
void ChooseFile(const QString& path, bool replace = false) {
    WhenModal<QFileDialog>([path, replace](QFileDialog* dialog) {
        if (replace) {
            WhenModal<QMessageBox>(
                [](QMessageBox* question) { question->button(QMessageBox::Yes)->click(); });
        }
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

struct Message {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

void ReadMessage(Message& message) {
    WhenModal<QMessageBox>([&message](QMessageBox* box) {
        EXPECT_EQ("Brellow", box->windowTitle().toStdString());
        message = {box->text(), box->icon()};
        box->accept();
    });
}

class ExportTest : public ::testing::Test {
protected:
    ExportTest() {
        gui_test::ClearSettings();
        frame = std::make_unique<CMainFrame>();
        frame->show();
        QApplication::setActiveWindow(frame.get());
        // The worked mortgage: 360 monthly payments from January 2003, years 2003 to 2032.
        CChildFrame* const child = frame->OnFileNew();
        document = &child->GetDocument();
        view = child->GetView();
        document->doc().m_bParametersPending = false;
        document->doc().SetTerms(brellow::test::LoanFields{}.Terms());
        document->doc().ComputePayment();
        document->notifyTermsChanged();
    }

    std::string Expected(int year, LoanFormat format) const {
        return brellow::WriteLoan(document->doc(), year, format);
    }

    std::string Clipboard() const { return QApplication::clipboard()->text().toStdString(); }

    QTemporaryDir dir;
    std::unique_ptr<CMainFrame> frame;
    LoanDocument* document = nullptr;
    CTamsicView* view = nullptr;
};

TEST_F(ExportTest, WritesTheWritersBytesForTheYearShownWithTheFormatsSuffix) {
    // A name without a suffix gets the format's; one with a suffix keeps it.
    const struct {
        Command command;
        int tab;
        int year;
        LoanFormat format;
        const char* typed;
        const char* written;
    } cases[] = {
        {Command::ExportText, 0, brellow::kAllYears, LoanFormat::Text, "loan", "loan.txt"},
        {Command::ExportHtml, 3, 2005, LoanFormat::Html, "loan", "loan.html"},
        {Command::ExportCsv, 30, 2032, LoanFormat::Csv, "loan", "loan.csv"},
        {Command::ExportCsv, 0, brellow::kAllYears, LoanFormat::Csv, "named.txt", "named.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        view->SelectTab(c.tab);
        ChooseFile(dir.filePath(QString::fromLatin1(c.typed)));
        frame->GetAction(c.command)->trigger();
        const QString path = dir.filePath(QString::fromLatin1(c.written));
        EXPECT_EQ(Expected(c.year, c.format), Contents(path));
        QFile::remove(path);
    }
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(brellow::test::LoanFields{}.Terms(), document->doc().GetTerms());
}

TEST_F(ExportTest, ReplacesAnExistingFileOnceConfirmed) {
    const QString path = dir.filePath(QStringLiteral("old.html"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(std::string(1 << 20, 'x').c_str());
    old.close();
    ChooseFile(path, true);
    frame->GetAction(Command::ExportHtml)->trigger();
    EXPECT_EQ(Expected(brellow::kAllYears, LoanFormat::Html), Contents(path));
    EXPECT_EQ(QStringList{QStringLiteral("old.html")}, Entries(dir.path()));
}

TEST_F(ExportTest, CancelWritesNothing) {
    WhenModal<QFileDialog>([this](QFileDialog* dialog) {
        dialog->selectFile(dir.filePath(QStringLiteral("loan")));
        dialog->reject();
    });
    frame->GetAction(Command::ExportText)->trigger();
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST_F(ExportTest, FailuresNameTheFileAndTheSystemsReason) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(0, ::mkfifo(QFile::encodeName(pipe).constData(), 0600));
    const struct {
        QString path;
        const char* message;
        QMessageBox::Icon icon;
        bool asRoot;  // whether the system refuses it to root too
    } cases[] = {
        {dir.filePath(QStringLiteral("gone/loan.txt")),
         "Can not open %1 to write!\nNo such file or directory", QMessageBox::NoIcon, true},
        {locked + QStringLiteral("/loan.txt"), "Can not open %1 to write!\nPermission denied",
         QMessageBox::NoIcon, false},
        // A failed write says what went wrong: a full disk only when it is one.
        {QStringLiteral("/dev/full"), "Can not write %1!\nNo space left on device",
         QMessageBox::Critical, true},
        // Reported, not waited for.
        {pipe, "Can not open %1 to write!\nnobody is reading from %1", QMessageBox::NoIcon, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        if (!c.asRoot && ::geteuid() == 0) continue;
        Message message;
        ReadMessage(message);
        EXPECT_FALSE(ExportLoanFile(*view, LoanFormat::Text, c.path, frame.get()));
        EXPECT_EQ(QString::fromLatin1(c.message).arg(c.path).toStdString(),
                  message.text.toStdString());
        EXPECT_EQ(c.icon, message.icon);
    }
    EXPECT_EQ(QStringList{QStringLiteral("locked")}, Entries(dir.path()));
    EXPECT_TRUE(Entries(locked).isEmpty());
}

TEST_F(ExportTest, CopyTablePutsOnlyTheLastCopiedTableOnTheClipboard) {
    QApplication::clipboard()->setText(QStringLiteral("before"));
    frame->GetAction(Command::CopyTable)->trigger();
    EXPECT_EQ(Expected(brellow::kAllYears, LoanFormat::Table), Clipboard());

    view->SelectTab(2);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    const std::string year = Expected(2004, LoanFormat::Table);
    EXPECT_EQ(year, Clipboard());
    EXPECT_TRUE(year.starts_with("Period\tDate\t")) << year.substr(0, 40);
    EXPECT_TRUE(year.ends_with("\r\n"));
}

TEST_F(ExportTest, CopyTableIsDisabledAndCtrlCInertWhileTheTableIsHidden) {
    DisplaySettings hidden = frame->Settings();
    hidden.showTable = false;
    frame->ApplyDisplaySettings(hidden);
    EXPECT_FALSE(frame->GetAction(Command::CopyTable)->isEnabled());
    EXPECT_TRUE(frame->GetAction(Command::ExportText)->isEnabled());
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ("before", Clipboard());

    DisplaySettings shown = hidden;
    shown.showTable = true;
    frame->ApplyDisplaySettings(shown);
    EXPECT_TRUE(frame->GetAction(Command::CopyTable)->isEnabled());
    ASSERT_TRUE(frame->CloseDocument(*document));
    EXPECT_FALSE(frame->GetAction(Command::CopyTable)->isEnabled());
}

}  // namespace
