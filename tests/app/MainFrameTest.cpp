#include "app/CMainFrame.h"

#include "app/CBrellowApp.h"
#include "app/CChildFrame.h"
#include "app/COptionsDlg.h"
#include "app/HelpWindow.h"
#include "tools/CCompareDlg.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/support/TestLoans.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"
#include "view/LoanParamsCommands.h"
#include "view/YearTabStrip.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <sys/stat.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

namespace {

using Command = CMainFrame::Command;
using gui_test::WhenModal;

std::vector<std::string> VisibleMenus(const CMainFrame& frame) {
    std::vector<std::string> titles;
    for (QAction* action : frame.menuBar()->actions()) {
        if (action->isVisible()) titles.push_back(action->text().toStdString());
    }
    return titles;
}

std::vector<std::string> VisibleItems(const CMainFrame& frame, const QString& menuTitle) {
    std::vector<std::string> items;
    for (QAction* menuAction : frame.menuBar()->actions()) {
        if (menuAction->text() != menuTitle) continue;
        for (QAction* item : menuAction->menu()->actions()) {
            if (item->isVisible() && !item->isSeparator())
                items.push_back(item->text().toStdString());
        }
    }
    return items;
}

// Answers the next message box with `button` and keeps its text.
void AnswerMessage(QMessageBox::StandardButton button, QString* text = nullptr) {
    WhenModal<QMessageBox>([button, text](QMessageBox* box) {
        EXPECT_EQ("Brellow", box->windowTitle().toStdString());
        if (text) *text = box->text();
        box->button(button)->click();
    });
}

void ChooseFile(const QString& path) {
    WhenModal<QFileDialog>([path](QFileDialog* dialog) {
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest() {
        gui_test::ClearSettings();
        frame = std::make_unique<CMainFrame>();
        frame->show();
    }

    // A new document whose parameters dialog is not asked for.
    CChildFrame* NewDocument() {
        CChildFrame* const child = frame->OnFileNew();
        child->GetDocument().doc().m_bParametersPending = false;
        return child;
    }

    // Changes the terms as the parameters dialog does.
    static void Edit(LoanDocument& document, double amount) {
        document.doc().SetLoanAmount(amount);
        document.doc().ComputePayment();
        document.notifyTermsChanged();
        document.setModified(true);
    }

    QString PathIn(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, WithoutDocumentsOnlyFileViewAndHelpAreShown) {
    EXPECT_EQ((std::vector<std::string>{"&File", "&View", "&Help"}), VisibleMenus(*frame));
    EXPECT_EQ(
        (std::vector<std::string>{"&New", "&Open...", "P&rint Setup...", "Recent File", "E&xit"}),
        VisibleItems(*frame, "&File"));
    EXPECT_TRUE(frame->GetAction(Command::Options)->isEnabled());
    EXPECT_FALSE(frame->GetAction(Command::Save)->isEnabled());
    EXPECT_FALSE(frame->GetAction(Command::ChangeLoanParameters)->isEnabled());
    EXPECT_EQ("Brellow", frame->windowTitle().toStdString());
}

TEST_F(MainFrameTest, DocumentMenusAndEnabledStates) {
    NewDocument();
    EXPECT_EQ((std::vector<std::string>{"&File", "&Edit", "&Tools", "&Advisors", "&Charts", "&View",
                                        "&Window", "&Help"}),
              VisibleMenus(*frame));
    EXPECT_EQ(
        (std::vector<std::string>{"&New", "&Open...", "&Close", "&Save", "Save &As...", "&Print...",
                                  "Print Pre&view", "P&rint Setup...", "Recent File", "E&xit"}),
        VisibleItems(*frame, "&File"));
    for (Command enabled :
         {Command::Close, Command::Save, Command::SaveAs, Command::Print, Command::PrintPreview,
          Command::CopyTable, Command::ChangeLoanParameters, Command::Options, Command::ExportText,
          Command::ExportHtml, Command::ExportCsv, Command::RefinanceAdvisor,
          Command::PayoffSummary, Command::CompareLoans, Command::NewWindow, Command::Cascade,
          Command::Tile}) {
        EXPECT_TRUE(frame->GetAction(enabled)->isEnabled())
            << frame->GetAction(enabled)->text().toStdString();
    }
    for (Command later :
         {Command::ChartMonthly, Command::ChartTotal, Command::ChartBalance, Command::Undo,
          Command::Redo}) {
        EXPECT_FALSE(frame->GetAction(later)->isEnabled())
            << frame->GetAction(later)->text().toStdString();
    }
    // The charts need at least one period.
    LoanDocument& document = frame->ActiveChild()->GetDocument();
    document.doc().SetNumPeriods(1);
    document.doc().ComputePayment();
    document.notifyTermsChanged();
    EXPECT_TRUE(frame->GetAction(Command::ChartMonthly)->isEnabled());
    EXPECT_TRUE(frame->GetAction(Command::ChartTotal)->isEnabled());
    EXPECT_TRUE(frame->GetAction(Command::ChartBalance)->isEnabled());
}

// Every menu item with a document open, with its prompt, tool tip, keys and check mark,
// and the two help commands that have keys but no item.
std::vector<std::string> DescribeCommands(const CMainFrame& frame) {
    const auto describe = [](QAction* action) {
        QStringList keys;
        for (const QKeySequence& key : action->shortcuts()) keys << key.toString();
        QString line = action->text() + " | " + action->statusTip() + " | " + action->toolTip() +
                       " | " + keys.join(" or ");
        if (action->isCheckable()) line += action->isChecked() ? " [x]" : " [ ]";
        return line.toStdString();
    };
    std::vector<std::string> lines;
    for (QAction* menuAction : frame.menuBar()->actions()) {
        lines.push_back(menuAction->text().toStdString());
        for (QAction* item : menuAction->menu()->actions()) {
            if (!item->isVisible()) continue;
            lines.push_back("  " + (item->isSeparator() ? "---" : describe(item)));
            EXPECT_TRUE(item->icon().isNull() || !item->isIconVisibleInMenu()) << lines.back();
        }
    }
    for (Command command : {Command::Help, Command::ContextHelp}) {
        lines.push_back(describe(frame.GetAction(command)));
    }
    return lines;
}

TEST_F(MainFrameTest, EveryCommandWithItsPromptTipAndKeys) {
    NewDocument();
    const std::vector<std::string> expected = {
        "&File",
        "  &New | Create a new document | New | Ctrl+N",
        "  &Open... | Open an existing document | Open | Ctrl+O",
        "  &Close | Close the active document | Close | ",
        "  &Save | Save the active document | Save | Ctrl+S",
        "  Save &As... | Save the active document with a new name | Save As | Ctrl+Shift+S",
        "  ---",
        "  &Print... | Print the active document | Print | Ctrl+P",
        "  Print Pre&view | Display full pages | Print Preview | ",
        "  P&rint Setup... | Change the printer and printing options | Print Setup | ",
        "  ---",
        "  Recent File | Open this document | Recent File | ",
        "  ---",
        "  E&xit | Quit the application; prompts to save documents | Exit | Ctrl+Q",
        "&Edit",
        "  &Undo | Undo the last action | Undo | Ctrl+Z or Alt+Backspace",
        "  &Redo | Redo the previously undone action | Redo | Ctrl+Y or Ctrl+Shift+Z",
        "  ---",
        "  Copy Ta&ble | Copy entire table onto the clipboard | Copy entire table | Ctrl+C",
        "&Tools",
        "  &Change Loan Parameters... | Change parameters for the current loan | "
        "Change parameters | Ctrl+L",
        "  &Options... | Options to display with different colors and styles | "
        "Display options | Ctrl+T",
        "  ---",
        "  &Export as Text File... | Export the loan document as a text file | "
        "Export loan as text file | ",
        "  Export as &HTML File... | Export loan document as an HTML file | "
        "Export loan document as an HTML file | ",
        "  Export as CS&V File... | Export the schedule as a CSV file for spreadsheets | "
        "Export loan as CSV file | ",
        "&Advisors",
        "  &Refinance Advisor... |  | Refinance Advisor | ",
        "  &Payoff Summary... | Show when the loan is paid off and what the additional payment "
        "saves | Payoff Summary | ",
        "  &Compare Open Loans... | Compare the loans that are open side by side | "
        "Compare Open Loans | ",
        "&Charts",
        "  &Monthly Principal vs. Interest | Display chart of monthly principal and interest | "
        "Display chart of monthly principal vs interest | ",
        "  &Total Principal vs. Interest | Display chart of total principal vs interest | "
        "Display chart of total principal vs interest | ",
        "  &Balance Over Time | Show how the balance falls over the loan | "
        "Display chart of the balance over time | ",
        "&View",
        "  &Toolbar | Show or hide the toolbar | Toggle ToolBar |  [x]",
        "  &Status Bar | Show or hide the status bar | Toggle StatusBar |  [x]",
        "&Window",
        "  &New Window | Open another window for the active document | New Window | ",
        "  &Cascade | Arrange windows so they overlap | Cascade Windows | ",
        "  &Tile | Arrange windows as non-overlapping tiles | Tile Windows | ",
        "  &Arrange Icons | Arrange icons at the bottom of the window | Arrange Icons | ",
        "&Help",
        "  &Help Topics | List Help topics | Help Topics | ",
        "  ---",
        "  &About Tamsic... | Display program information, version number and copyright | "
        "About | ",
        "Help | Display help for current task or command | Help | F1",
        "Context Help | Display help for clicked on buttons, menus and windows | Help | Shift+F1",
    };
    EXPECT_EQ(expected, DescribeCommands(*frame));
}

// Through the shortcut map, as a person presses the keys: each of Undo's keys undoes at
// once, and the key after it is not taken as the rest of a longer sequence.
TEST_F(MainFrameTest, EachKeyOfACommandIsOneShortcut) {
    for (QAction* action : frame->actions()) {
        for (const QKeySequence& key : action->shortcuts()) {
            EXPECT_EQ(1, key.count()) << action->text().toStdString();
        }
    }
    LoanDocument& document = NewDocument()->GetDocument();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    for (const char* undo : {"Ctrl+Z", "Alt+Backspace"}) {
        SCOPED_TRACE(undo);
        ASSERT_TRUE(ChangeAdditionalPayment(document, 100.0));
        QTest::keySequence(frame.get(), QKeySequence(QString::fromLatin1(undo)));
        EXPECT_EQ(0.0, document.doc().GetAdditionalPayment());
        QTest::keySequence(frame.get(), QKeySequence(QStringLiteral("Alt+E")));
        QWidget* const opened = QApplication::activePopupWidget();
        EXPECT_TRUE(opened && opened->actions().contains(frame->GetAction(Command::Undo)));
        if (opened) opened->close();
    }
}

// The desktop's own keys beside the program's: Ctrl+Shift+Z redoes, Ctrl+Shift+S asks
// where to save, Ctrl+Q quits.
TEST_F(MainFrameTest, StandardKeysRedoSaveAsAndQuit) {
    LoanDocument& document = NewDocument()->GetDocument();
    const auto press = [this](const char* key) {
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        QTest::keySequence(frame.get(), QKeySequence(QString::fromLatin1(key)));
    };
    ASSERT_TRUE(ChangeAdditionalPayment(document, 100.0));
    press("Ctrl+Z");
    press("Ctrl+Shift+Z");
    EXPECT_EQ(100.0, document.doc().GetAdditionalPayment());

    QString asked;
    WhenModal<QFileDialog>([&asked](QFileDialog* dialog) {
        asked = dialog->windowTitle();
        dialog->reject();
    });
    press("Ctrl+Shift+S");
    EXPECT_EQ("Save As", asked.toStdString());

    AnswerMessage(QMessageBox::Discard);
    press("Ctrl+Q");
    EXPECT_FALSE(frame->isVisible());
}

// As a screen reader reads the menus and the toolbar: each item by its text alone, its key
// as the key binding, and nothing without a name but separators (hidden items included:
// readers list them too).
TEST_F(MainFrameTest, MenuAndToolbarItemsAreNamedByTheirTextAlone) {
    LoanDocument& document = NewDocument()->GetDocument();
    ChooseFile(PathIn(QStringLiteral("named.brw")));
    ASSERT_TRUE(frame->Documents().DoSaveAs(document));
    std::vector<QAccessibleInterface*> containers{
        QAccessible::queryAccessibleInterface(frame->ToolBar())};
    for (QAction* menuAction : frame->menuBar()->actions()) {
        containers.push_back(QAccessible::queryAccessibleInterface(menuAction->menu()));
    }
    std::map<std::string, std::string> keyOf;
    for (QAccessibleInterface* container : containers) {
        ASSERT_NE(nullptr, container);
        EXPECT_FALSE(container->text(QAccessible::Name).isEmpty());
        for (int i = 0; i < container->childCount(); ++i) {
            QAccessibleInterface* const item = container->child(i);
            if (item->role() == QAccessible::Separator) continue;
            const QString name = item->text(QAccessible::Name);
            EXPECT_FALSE(name.isEmpty()) << container->text(QAccessible::Name).toStdString() << i;
            EXPECT_FALSE(name.contains(QLatin1Char('\t'))) << name.toStdString();
            if (item->role() == QAccessible::MenuItem)
                keyOf[name.toStdString()] = item->text(QAccessible::Accelerator).toStdString();
        }
    }
    EXPECT_EQ("Ctrl+N", keyOf["New"]);
    EXPECT_EQ("Ctrl+Shift+S", keyOf["Save As..."]);
    EXPECT_EQ("Ctrl+Z", keyOf["Undo"]);
    EXPECT_EQ("Ctrl+L", keyOf["Change Loan Parameters..."]);
}

TEST_F(MainFrameTest, ToolbarHoldsFourteenEntries) {
    const QList<QAction*> entries = frame->ToolBar()->actions();
    ASSERT_EQ(14, entries.size());
    const QList<QAction*> expected = {
        frame->GetAction(Command::New),
        frame->GetAction(Command::Open),
        frame->GetAction(Command::Save),
        nullptr,
        frame->GetAction(Command::CopyTable),
        nullptr,
        frame->GetAction(Command::Print),
        nullptr,
        frame->GetAction(Command::About),
        frame->GetAction(Command::ContextHelp),
        nullptr,
        frame->GetAction(Command::ChangeLoanParameters),
        frame->GetAction(Command::Options),
        frame->GetAction(Command::ExportText),
    };
    for (int i = 0; i < 14; ++i) {
        if (expected[i]) {
            EXPECT_EQ(expected[i], entries[i]) << i;
            EXPECT_FALSE(entries[i]->icon().isNull()) << i;
        } else {
            EXPECT_TRUE(entries[i]->isSeparator()) << i;
        }
    }
    frame->GetAction(Command::ViewToolbar)->trigger();
    EXPECT_TRUE(frame->ToolBar()->isHidden());
    frame->GetAction(Command::ViewToolbar)->trigger();
    EXPECT_FALSE(frame->ToolBar()->isHidden());

    // The last document closed: the buttons stay, those of document commands disabled,
    // while the File menu drops their items.
    ASSERT_TRUE(frame->CloseDocument(NewDocument()->GetDocument()));
    for (int i = 0; i < 14; ++i) EXPECT_TRUE(entries[i]->isVisible()) << i;
    EXPECT_FALSE(frame->GetAction(Command::Save)->isEnabled());
    EXPECT_FALSE(frame->GetAction(Command::Print)->isEnabled());
    EXPECT_EQ(
        (std::vector<std::string>{"&New", "&Open...", "P&rint Setup...", "Recent File", "E&xit"}),
        VisibleItems(*frame, "&File"));
}

TEST_F(MainFrameTest, NewDocumentsAreNumberedAndTitled) {
    CChildFrame* const first = NewDocument();
    CChildFrame* const second = NewDocument();
    EXPECT_EQ("Brel1", first->GetDocument().title().toStdString());
    EXPECT_EQ("Brel2", second->GetDocument().title().toStdString());
    EXPECT_EQ("Brellow - Brel2[*]", frame->windowTitle().toStdString());
    EXPECT_FALSE(frame->isWindowModified());
    Edit(second->GetDocument(), 5000.0);
    EXPECT_TRUE(frame->isWindowModified());
    EXPECT_TRUE(second->isWindowModified());
    EXPECT_FALSE(first->isWindowModified());
}

TEST_F(MainFrameTest, SaveAsAndOpenRoundTrip) {
    CChildFrame* const child = NewDocument();
    LoanDocument& document = child->GetDocument();
    Edit(document, 123456.78);
    const QString path = PathIn(QStringLiteral("loan"));
    ChooseFile(path);
    ASSERT_TRUE(frame->Documents().DoFileSave(document));
    const QString saved = path + QStringLiteral(".brw");
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_EQ("loan.brw", document.title().toStdString());
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(saved, frame->Documents().RecentFiles().First());
    EXPECT_EQ("Brellow - loan.brw[*]", frame->windowTitle().toStdString());

    frame->CloseDocument(document);
    ASSERT_TRUE(frame->ChildFrames().isEmpty());
    CChildFrame* const reopened = frame->OpenDocumentFile(saved);
    ASSERT_NE(nullptr, reopened);
    EXPECT_EQ(123456.78, reopened->GetDocument().doc().GetLoanAmount());
    EXPECT_FALSE(reopened->GetDocument().doc().m_bParametersPending);
    // Opening it again shows the window that has it.
    EXPECT_EQ(reopened, frame->OpenDocumentFile(saved));
    EXPECT_EQ(1, frame->ChildFrames().size());
}

TEST_F(MainFrameTest, FailedSaveSaysWhyAndKeepsTheDocumentModified) {
    LoanDocument& document = NewDocument()->GetDocument();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    const QString path = PathIn(QStringLiteral("gone/loan.brw"));
    ChooseFile(path);
    Edit(document, 1000.0);
    ASSERT_TRUE(frame->Documents().DoFileSave(document));
    Edit(document, 2000.0);
    ASSERT_TRUE(QDir(PathIn(QStringLiteral("gone"))).removeRecursively());

    QString message;
    AnswerMessage(QMessageBox::Ok, &message);
    EXPECT_FALSE(frame->Documents().DoFileSave(document));
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_TRUE(document.isModified());
}

TEST_F(MainFrameTest, ClosingAModifiedDocumentAsks) {
    CChildFrame* const child = NewDocument();
    Edit(child->GetDocument(), 777.0);

    QString question;
    AnswerMessage(QMessageBox::Cancel, &question);
    EXPECT_FALSE(child->close());
    EXPECT_EQ("Save changes to Brel1?", question.toStdString());
    EXPECT_EQ(1, frame->ChildFrames().size());

    AnswerMessage(QMessageBox::Discard);
    EXPECT_TRUE(frame->CloseDocument(child->GetDocument()));
    EXPECT_TRUE(frame->ChildFrames().isEmpty());
    EXPECT_EQ((std::vector<std::string>{"&File", "&View", "&Help"}), VisibleMenus(*frame));
}

TEST_F(MainFrameTest, ExitCanBeCancelled) {
    Edit(NewDocument()->GetDocument(), 10.0);
    AnswerMessage(QMessageBox::Cancel);
    frame->GetAction(Command::Exit)->trigger();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(1, frame->ChildFrames().size());

    AnswerMessage(QMessageBox::Discard);
    frame->GetAction(Command::Exit)->trigger();
    EXPECT_FALSE(frame->isVisible());
}

// One comparison window, brought back when chosen again, with a column for each document
// opened or closed while it is open.
TEST_F(MainFrameTest, CompareOpenLoansFollowsTheDocuments) {
    NewDocument();
    frame->GetAction(Command::CompareLoans)->trigger();
    frame->GetAction(Command::CompareLoans)->trigger();
    const QList<CCompareDlg*> windows = frame->findChildren<CCompareDlg*>();
    ASSERT_EQ(1, windows.size());
    const auto* const table = windows[0]->findChild<QTableWidget*>(QStringLiteral("comparison"));
    EXPECT_EQ(1, table->columnCount());
    NewDocument();
    EXPECT_EQ("Brel2", table->horizontalHeaderItem(1)->text());
    ASSERT_TRUE(frame->CloseDocument(frame->ActiveChild()->GetDocument()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(1, table->columnCount());
}

TEST_F(MainFrameTest, SecondWindowSharesTheDocument) {
    CChildFrame* const first = NewDocument();
    CChildFrame* const second = frame->OnWindowNew();
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(&first->GetDocument(), &second->GetDocument());
    EXPECT_EQ("Brel1:1[*]", first->windowTitle().toStdString());
    EXPECT_EQ("Brel1:2[*]", second->windowTitle().toStdString());

    // A change reaches both views.
    first->GetView()->SelectTab(0);
    LoanDocument& document = first->GetDocument();
    document.doc().SetNumPeriods(12);
    document.doc().ComputePayment();
    document.notifyTermsChanged();
    document.setModified(true);
    EXPECT_EQ(first->GetView()->m_nTableBottom, second->GetView()->m_nTableBottom);

    // Only the last window of a modified document asks.
    EXPECT_TRUE(second->close());
    EXPECT_EQ("Brel1[*]", first->windowTitle().toStdString());
    AnswerMessage(QMessageBox::Discard);
    EXPECT_TRUE(first->close());
    EXPECT_TRUE(frame->ChildFrames().isEmpty());
}

TEST_F(MainFrameTest, MainTitleNamesTheActiveWindowOnceWithItsMark) {
    CChildFrame* const first = NewDocument();
    Edit(first->GetDocument(), 5000.0);
    const struct {
        const char* step;
        std::function<void()> act;
        const char* title;
    } steps[] = {
        {"maximised", [first] { first->showMaximized(); }, "Brellow - Brel1[*]"},
        {"new window", [this] { frame->OnWindowNew(); }, "Brellow - Brel1:2[*]"},
        {"tiled", [this] { frame->GetAction(Command::Tile)->trigger(); }, "Brellow - Brel1:2[*]"},
        {"saved", [first] { first->GetDocument().setModified(false); }, "Brellow - Brel1:2[*]"},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(step.title, frame->windowTitle().toStdString()) << step.step;
        EXPECT_EQ(first->GetDocument().isModified(), frame->isWindowModified()) << step.step;
        EXPECT_EQ(frame->ActiveChild()->isWindowModified(), frame->isWindowModified()) << step.step;
    }
}

// A new window shows the table's whole width beside its scroll bar, whatever the style
// makes of that.
TEST_F(MainFrameTest, NewWindowsShowTheWholeTableWidth) {
    frame->resize(1200, 800);
    frame->MdiArea()->setStyleSheet(QStringLiteral("QScrollBar:vertical { width: 60px; }"));
    LoanDocument& document = NewDocument()->GetDocument();
    document.doc().SetNumPeriods(360);
    Edit(document, 100000.0);
    const CTamsicView* const view = frame->OnWindowNew()->GetView();
    ASSERT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_GE(view->viewport()->width(), view->ScrollSize().width());
}

// The main window comes back as the last run left it, within the screen: moved and shrunk
// as little as needed, or at the default size where the stored place cannot be a window's.
TEST_F(MainFrameTest, ComesBackWhereItWasWithinTheScreen) {
    frame->setGeometry(QRect(100, 50, 500, 400));
    frame->showMaximized();
    frame->close();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize standard = QSize(900, 700).boundedTo(screen.size());
    // Where the platform frames a window on an edge of the screen is its own business:
    // `corner` is checked only away from the top and left edges.
    const struct {
        QVariant stored;  // none: as the closed window left it
        bool maximized;
        QSize size;
        std::optional<QPoint> corner;
    } cases[] = {
        {{}, true, {500, 400}, QPoint(100, 50)},
        {QRect(screen.right() + 1000, 40, 500, 400), false, {500, 400},
         QPoint(screen.right() - 499, 40)},
        {QRect(-300, -20, 3000, 2000), false, screen.size(), {}},
        {QStringLiteral("wide"), false, standard, {}},
    };
    for (const auto& [stored, maximized, size, corner] : cases) {
        SCOPED_TRACE(stored.toString().toStdString());
        if (stored.isValid()) {
            QSettings store = gui_test::Store();
            store.setValue(QStringLiteral("Window/Geometry"), stored);
            store.setValue(QStringLiteral("Window/Maximized"), maximized);
        }
        CMainFrame again;
        again.show();
        EXPECT_EQ(maximized, again.isMaximized());
        EXPECT_EQ(size, again.normalGeometry().size());
        if (corner) EXPECT_EQ(*corner, again.normalGeometry().topLeft());
        EXPECT_TRUE(screen.intersects(again.normalGeometry()));
    }
}

// Answers the next file dialog with `chosen`, or cancels it when that is empty, and keeps
// the folder it started in and the name it proposed.
void ChooseNoting(const QString& chosen, QString* folder, QString* proposed) {
    WhenModal<QFileDialog>([=](QFileDialog* dialog) {
        *folder = dialog->directory().absolutePath();
        *proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        if (chosen.isEmpty()) return dialog->reject();
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept();
    });
}

// Save As, the exports and Save Image As start in the folder last used for their kind of
// file (else the documents folder, else home) and propose the document's name.
TEST_F(MainFrameTest, FileDialogsStartInTheLastFolderOfTheirKind) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fallback = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("csv")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("loans")));
    const QString csv = PathIn(QStringLiteral("csv"));
    const QString loans = PathIn(QStringLiteral("loans"));
    LoanDocument& first = NewDocument()->GetDocument();
    first.doc().SetNumPeriods(12);
    first.doc().ComputePayment();
    first.notifyTermsChanged();
    const auto run = [this](Command command) {
        return [this, command] { frame->GetAction(command)->trigger(); };
    };
    const auto saveImage = [this] {
        WhenModal<QDialog>([](QDialog* chart) {
            for (QAction* action : chart->actions()) {
                if (action->text() == QLatin1String("Save Image As...")) action->trigger();
            }
            chart->reject();
        });
        frame->GetAction(Command::ChartMonthly)->trigger();
    };
    const auto saveNew = [this, run] {
        NewDocument();
        run(Command::SaveAs)();
    };
    const auto exportWithoutFolder = [csv, run] {
        QDir(csv).removeRecursively();
        run(Command::ExportCsv)();
    };
    const struct {
        std::function<void()> open;
        QString chosen;
        QString folder;
        const char* proposed;
    } steps[] = {
        {run(Command::ExportCsv), csv + "/x.csv", fallback, "Brel1.csv"},
        {run(Command::ExportCsv), {}, csv, "Brel1.csv"},
        {run(Command::ExportText), {}, fallback, "Brel1.txt"},
        {run(Command::SaveAs), loans + "/Mortgage.brw", fallback, "Brel1.brw"},
        {run(Command::ExportHtml), {}, fallback, "Mortgage.html"},
        {saveImage, {}, fallback, "Mortgage.png"},
        {saveNew, {}, loans, "Brel2.brw"},
        {exportWithoutFolder, {}, fallback, "Brel2.csv"},
    };
    for (const auto& [open, chosen, folder, proposed] : steps) {
        SCOPED_TRACE(proposed);
        QString startedIn, named;
        ChooseNoting(chosen, &startedIn, &named);
        open();
        EXPECT_EQ(folder, startedIn);
        EXPECT_EQ(proposed, named.toStdString());
    }
}

TEST_F(MainFrameTest, CascadedWindowsShowTheTableAsTallAsTheAreaAllows) {
    CChildFrame* const longLoan = NewDocument();
    brellow::CTamsicDoc& doc = longLoan->GetDocument().doc();
    doc.SetNumPeriods(360);
    doc.SetInterestRate(6.0);
    Edit(longLoan->GetDocument(), 100000.0);
    CChildFrame* const shortLoan = NewDocument();
    frame->GetAction(Command::Cascade)->trigger();

    const QRect area = frame->MdiArea()->viewport()->rect();
    for (CChildFrame* child : {longLoan, shortLoan}) {
        const CTamsicView* const view = child->GetView();
        EXPECT_GE(view->viewport()->width(), view->ScrollSize().width());
        EXPECT_TRUE(area.contains(child->geometry())) << child->geometry().bottom();
    }
    EXPECT_EQ(area.bottom(), longLoan->geometry().bottom());
    EXPECT_GE(shortLoan->GetView()->viewport()->height(),
              shortLoan->GetView()->ScrollSize().height());
}

// A window closed with close() is deleted later; the main frame may go first.
TEST_F(MainFrameTest, ClosedWindowsGoWhileTheMainFrameIsWhole) {
    NewDocument();
    CChildFrame* const closed = frame->OnWindowNew();
    ASSERT_TRUE(closed->close());
    CMainFrame* const main = frame.get();
    bool mainWhole = false;
    QObject::connect(closed, &QObject::destroyed,
                     [&] { mainWhole = qobject_cast<CMainFrame*>(main) != nullptr; });
    frame.reset();
    EXPECT_TRUE(mainWhole);
}

TEST_F(MainFrameTest, RecentFilesKeepFourAndDropUnreadableOnes) {
    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        LoanDocument& document = NewDocument()->GetDocument();
        ChooseFile(PathIn(QStringLiteral("r%1.brw").arg(i)));
        ASSERT_TRUE(frame->Documents().DoSaveAs(document));
        paths.prepend(PathIn(QStringLiteral("r%1.brw").arg(i)));
    }
    EXPECT_EQ(paths.mid(0, 4), frame->Documents().RecentFiles().Files());
    EXPECT_EQ("&1 " + paths[0].toStdString(), VisibleItems(*frame, "&File")[8]);

    ASSERT_TRUE(frame->CloseAllDocuments());
    QFile::remove(paths[1]);
    QString message;
    AnswerMessage(QMessageBox::Ok, &message);
    EXPECT_EQ(nullptr, frame->OpenRecentFile(paths[1]));
    EXPECT_TRUE(message.contains(paths[1])) << message.toStdString();
    EXPECT_FALSE(frame->Documents().RecentFiles().Files().contains(paths[1]));
    EXPECT_EQ(3, frame->Documents().RecentFiles().Files().size());
}

TEST_F(MainFrameTest, OptionsApplyToEveryViewOnOk) {
    CChildFrame* const child = NewDocument();
    CTamsicView* const view = child->GetView();
    ASSERT_NE(nullptr, view->YearTabs());

    WhenModal<COptionsDlg>([](COptionsDlg* dialog) {
        dialog->m_chkShowTable->setChecked(false);
        dialog->accept();
    });
    frame->GetAction(Command::Options)->trigger();
    EXPECT_FALSE(frame->Settings().showTable);
    EXPECT_EQ(nullptr, view->YearTabs());
    EXPECT_EQ(120, view->ScrollSize().height());

    // Colours alone leave the layout as it is.
    DisplaySettings colours = frame->Settings();
    colours.showTable = true;
    frame->ApplyDisplaySettings(colours);
    YearTabStrip* const tabs = view->YearTabs();
    ASSERT_NE(nullptr, tabs);
    colours.colorTableBack = 0x00102030;
    frame->ApplyDisplaySettings(colours);
    EXPECT_EQ(tabs, view->YearTabs());
}

TEST_F(MainFrameTest, ColourPickedBeforeCancelIsForgotten) {
    const DisplaySettings before = frame->Settings();
    WhenModal<COptionsDlg>([](COptionsDlg* dialog) {
        WhenModal<QColorDialog>([](QColorDialog* chooser) {
            chooser->setCurrentColor(QColor(1, 2, 3));
            chooser->accept();
            WhenModal<COptionsDlg>([](COptionsDlg* options) {
                EXPECT_EQ(0x00030201u, options->Settings().colorWinBack);
                options->reject();
            });
        });
        dialog->m_btnWinBack->click();
    });
    frame->GetAction(Command::Options)->trigger();
    EXPECT_EQ(before, frame->Settings());
}

TEST_F(MainFrameTest, HelpAndAbout) {
    frame->GetAction(Command::Help)->trigger();
    auto* const help = frame->findChild<HelpWindow*>();
    ASSERT_NE(nullptr, help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->Text().contains(QStringLiteral("Display options")));

    QString title;
    WhenModal<QDialog>([&title](QDialog* about) {
        title = about->windowTitle();
        about->accept();
    });
    frame->GetAction(Command::About)->trigger();
    EXPECT_EQ("About Brellow", title.toStdString());
}

class StartupTest : public ::testing::Test {
protected:
    StartupTest() { gui_test::ClearSettings(); }

    QString SavedLoan(const QString& name, double amount) {
        LoanDocument document(brellow::test::Loan({.amount = amount, .periods = 12}));
        const QString path = dir.filePath(name);
        EXPECT_TRUE(document.saveTo(path).isEmpty());
        return path;
    }

    static void SetRecent(const QString& path) {
        QSettings store = gui_test::Store();
        store.setValue(QStringLiteral("Recent File List/File1"), path);
    }

    static double OpenAmount(const CBrellowApp& app) {
        const LoanDocument* const document = app.GetMainFrame()->ActiveDocument();
        return document ? document->doc().GetLoanAmount() : -1.0;
    }

    QTemporaryDir dir;
};

TEST_F(StartupTest, FirstStartOpensANewDocument) {
    CBrellowApp app;
    ASSERT_TRUE(app.InitInstance({}));
    ASSERT_EQ(1, app.GetMainFrame()->ChildFrames().size());
    LoanDocument* const document = app.GetMainFrame()->ActiveDocument();
    EXPECT_EQ("Brel1", document->title().toStdString());
    EXPECT_TRUE(document->doc().m_bParametersPending);
    document->doc().m_bParametersPending = false;
}

TEST_F(StartupTest, CommandLineFileWinsOverTheRecentFile) {
    SetRecent(SavedLoan(QStringLiteral("recent.brw"), 111.0));
    const QString named = SavedLoan(QStringLiteral("named.brw"), 222.0);
    CBrellowApp app;
    ASSERT_TRUE(app.InitInstance({named}));
    EXPECT_EQ(222.0, OpenAmount(app));
}

TEST_F(StartupTest, WithoutArgumentsTheRecentFileReopens) {
    SetRecent(SavedLoan(QStringLiteral("recent.brw"), 111.0));
    CBrellowApp app;
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_EQ(111.0, OpenAmount(app));
}

TEST_F(StartupTest, MissingRecentFileIsReportedAndDropped) {
    const QString missing = dir.filePath(QStringLiteral("missing.brw"));
    SetRecent(missing);
    CBrellowApp app;
    QString message;
    AnswerMessage(QMessageBox::Ok, &message);
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_TRUE(message.contains(missing)) << message.toStdString();
    EXPECT_TRUE(app.GetMainFrame()->ChildFrames().isEmpty());
    EXPECT_TRUE(app.GetMainFrame()->Documents().RecentFiles().Files().isEmpty());
    EXPECT_TRUE(app.GetMainFrame()->isVisible());
}

// Rewriting the settings file costs two disk syncs a start; a file left alone keeps its
// inode and its time.
TEST_F(StartupTest, StartingAndQuittingWriteNoSettingsWhenNothingChanged) {
    SetRecent(SavedLoan(QStringLiteral("recent.brw"), 111.0));
    const auto run = [] {
        CBrellowApp app;
        ASSERT_TRUE(app.InitInstance({}));
        EXPECT_EQ(111.0, OpenAmount(app));
        app.GetMainFrame()->GetAction(Command::Exit)->trigger();
    };
    run();  // the first start writes the defaults
    const auto stamp = [] {
        struct stat info {};
        EXPECT_EQ(0, ::stat(QFile::encodeName(gui_test::Store().fileName()).constData(), &info));
        return std::tuple(info.st_ino, info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    };
    const auto before = stamp();
    run();
    EXPECT_EQ(before, stamp());
}

TEST_F(StartupTest, UnreadableCommandLineFileLeavesTheProgramRunning) {
    const QString missing = dir.filePath(QStringLiteral("typo.brw"));
    CBrellowApp app;
    QString message;
    AnswerMessage(QMessageBox::Ok, &message);
    ASSERT_TRUE(app.InitInstance({missing}));
    EXPECT_TRUE(message.contains(missing)) << message.toStdString();
    EXPECT_TRUE(app.GetMainFrame()->isVisible());
    EXPECT_TRUE(app.GetMainFrame()->ChildFrames().isEmpty());
}

}  // namespace
