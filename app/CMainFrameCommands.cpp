// The main frame's commands: one table from which every action, menu item and toolbar
// button is built, with each command's handler and the rule that enables it.

#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/COptionsDlg.h"
#include "app/DisplaySettings.h"
#include "app/ExportCommands.h"
#include "app/HelpWindow.h"
#include "tools/CBalanceChartDlg.h"
#include "tools/CCompareDlg.h"
#include "tools/CPaymentChartDlg.h"
#include "tools/CRefinanceDlg.h"
#include "tools/CTotalChartDlg.h"
#include "tools/ChartDialog.h"
#include "tools/SettingsStore.h"
#include "view/CPayoffDlg.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"
#include "view/LoanParamsCommands.h"
#include "view/LoanPrinter.h"
#include "view/PrintOutput.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QMdiArea>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>

#include <algorithm>
#include <cstring>

namespace {

bool WithDocument(const LoanDocument* active) {
    return active != nullptr;
}

bool WithChartableLoan(const LoanDocument* active) {
    return active != nullptr && CanChartLoan(active->doc());
}

bool Never(const LoanDocument*) {
    return false;
}

// A shortcut of several keys waits for the rest and swallows the next key pressed, so a
// table entry that reads as more than one key is a mistake in the table.
QList<QKeySequence> SingleKeys(const std::vector<const char*>& names) {
    QList<QKeySequence> keys;
    for (const char* name : names) {
        const QKeySequence key(QString::fromUtf8(name), QKeySequence::PortableText);
        if (key.count() != 1) qFatal("The command table's key \"%s\" is not one key.", name);
        keys.append(key);
    }
    return keys;
}

// Screen readers would take the toolbar's separators for unnamed panes.
QAccessibleInterface* ToolbarSeparatorAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String("QToolBarSeparator") || !object->isWidgetType()) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Separator);
}

// One comparison beside the loans, brought to the front when chosen again. A window that
// was closed is on its way out and is not shown again.
void CompareOpenLoans(CMainFrame& frame) {
    CCompareDlg* dialog = nullptr;
    for (CCompareDlg* open : frame.findChildren<CCompareDlg*>(Qt::FindDirectChildrenOnly)) {
        if (open->isVisible()) dialog = open;
    }
    if (!dialog) {
        dialog = new CCompareDlg(frame.Documents().Documents(), &frame);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(&frame.Documents(), &DocumentManager::documentOpened, dialog,
                         &CCompareDlg::AddDocument);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void ExportActiveView(CMainFrame& frame, brellow::LoanFormat format) {
    if (const CTamsicView* view = frame.ActiveView()) OnExportLoan(*view, format, &frame);
}

void PrintActiveView(CMainFrame& frame) {
    if (const CTamsicView* view = frame.ActiveView()) {
        PrintWithDialog(LoanPrinter(*view, frame.Settings().showTable), frame.Printer(), &frame);
    }
}

void PreviewActiveView(CMainFrame& frame) {
    const CTamsicView* const view = frame.ActiveView();
    if (!view) return;
    QSettings store = SettingsStore();
    const int shown = PreviewWithDialog(LoanPrinter(*view, frame.Settings().showTable),
                                        frame.Printer(), LoadPreviewPages(store), &frame);
    SavePreviewPages(store, shown);
}

}  // namespace

const std::vector<CMainFrame::CommandRow>& CMainFrame::CommandTable() {
    using C = Command;
    using M = Menu;
    using I = ToolIcon;
    static const std::vector<CommandRow> table = {
        {.id = C::New,
         .text = "&New",
         .prompt = "Create a new document",
         .tip = "New",
         .keys = {"Ctrl+N"},
         .menu = M::File,
         .button = {1, I::New},
         .run = [](CMainFrame& f) { f.OnFileNew(); }},
        {.id = C::Open,
         .text = "&Open...",
         .prompt = "Open an existing document",
         .tip = "Open",
         .keys = {"Ctrl+O"},
         .menu = M::File,
         .button = {2, I::Open},
         .run = [](CMainFrame& f) { f.ShowDocument(f.m_documents.OnFileOpen()); }},
        {.id = C::Close,
         .text = "&Close",
         .prompt = "Close the active document",
         .tip = "Close",
         .menu = M::File,
         .documentMenuOnly = true,
         .run =
             [](CMainFrame& f) {
                 if (LoanDocument* document = f.ActiveDocument()) f.CloseDocument(*document);
             },
         .enabled = WithDocument},
        {.id = C::Save,
         .text = "&Save",
         .prompt = "Save the active document",
         .tip = "Save",
         .keys = {"Ctrl+S"},
         .menu = M::File,
         .documentMenuOnly = true,
         .button = {3, I::Save},
         .run =
             [](CMainFrame& f) {
                 if (LoanDocument* document = f.ActiveDocument())
                     f.m_documents.DoFileSave(*document);
             },
         .enabled = WithDocument},
        {.id = C::SaveAs,
         .text = "Save &As...",
         .prompt = "Save the active document with a new name",
         .tip = "Save As",
         .keys = {"Ctrl+Shift+S"},
         .menu = M::File,
         .documentMenuOnly = true,
         .run =
             [](CMainFrame& f) {
                 if (LoanDocument* document = f.ActiveDocument()) f.m_documents.DoSaveAs(*document);
             },
         .enabled = WithDocument},
        {.id = C::Print,
         .text = "&Print...",
         .prompt = "Print the active document",
         .tip = "Print",
         .keys = {"Ctrl+P"},
         .menu = M::File,
         .separatorBefore = true,
         .documentMenuOnly = true,
         .button = {7, I::Print},
         .run = PrintActiveView,
         .enabled = WithDocument},
        {.id = C::PrintPreview,
         .text = "Print Pre&view",
         .prompt = "Display full pages",
         .tip = "Print Preview",
         .menu = M::File,
         .documentMenuOnly = true,
         .run = PreviewActiveView,
         .enabled = WithDocument},
        {.id = C::PrintSetup,
         .text = "P&rint Setup...",
         .prompt = "Change the printer and printing options",
         .tip = "Print Setup",
         .menu = M::File,
         .run =
             [](CMainFrame& f) {
                 QPageSetupDialog dialog(&f.Printer(), &f);
                 dialog.exec();
             }},
        {.id = C::RecentFile,
         .text = "Recent File",
         .prompt = "Open this document",
         .menu = M::File,
         .separatorBefore = true,
         .enabled = Never},
        {.id = C::Exit,
         .text = "E&xit",
         .prompt = "Quit the application; prompts to save documents",
         .tip = "Exit",
         .keys = {"Ctrl+Q"},
         .menu = M::File,
         .separatorBefore = true,
         .run = [](CMainFrame& f) { f.close(); }},

        {.id = C::Undo,
         .text = "&Undo",
         .prompt = "Undo the last action",
         .tip = "Undo",
         .keys = {"Ctrl+Z", "Alt+Backspace"},
         .menu = M::Edit,
         .run =
             [](CMainFrame& f) {
                 if (CTamsicView* view = f.ActiveView()) view->OnEditUndo();
             },
         .enabled =
             [](const LoanDocument* active) { return active && CanUndoLoanParameters(*active); }},
        {.id = C::Redo,
         .text = "&Redo",
         .prompt = "Redo the previously undone action",
         .tip = "Redo",
         .keys = {"Ctrl+Y", "Ctrl+Shift+Z"},
         .menu = M::Edit,
         .run =
             [](CMainFrame& f) {
                 if (CTamsicView* view = f.ActiveView()) view->OnEditRedo();
             },
         .enabled =
             [](const LoanDocument* active) { return active && CanRedoLoanParameters(*active); }},
        {.id = C::CopyTable,
         .text = "Copy Ta&ble",
         .prompt = "Copy entire table onto the clipboard",
         .tip = "Copy entire table",
         .keys = {"Ctrl+C"},
         .menu = M::Edit,
         .separatorBefore = true,
         .button = {5, I::CopyTable},
         .run =
             [](CMainFrame& f) {
                 if (CTamsicView* view = f.ActiveView()) OnCopyTable(*view);
             },
         .enabled = WithDocument,
         .whileTableShown = true},

        {.id = C::ChangeLoanParameters,
         .text = "&Change Loan Parameters...",
         .prompt = "Change parameters for the current loan",
         .tip = "Change parameters",
         .keys = {"Ctrl+L"},
         .menu = M::Tools,
         .button = {12, I::ChangeParameters},
         .run =
             [](CMainFrame& f) {
                 if (CTamsicView* view = f.ActiveView()) view->OnChangeLoanParameters();
             },
         .enabled = WithDocument},
        {.id = C::Options,
         .text = "&Options...",
         .prompt = "Options to display with different colors and styles",
         .tip = "Display options",
         .keys = {"Ctrl+T"},
         .menu = M::Tools,
         .button = {13, I::Options},
         .run = [](CMainFrame& f) { f.OnOptions(); }},
        {.id = C::ExportText,
         .text = "&Export as Text File...",
         .prompt = "Export the loan document as a text file",
         .tip = "Export loan as text file",
         .menu = M::Tools,
         .separatorBefore = true,
         .button = {14, I::ExportText},
         .run = [](CMainFrame& f) { ExportActiveView(f, brellow::LoanFormat::Text); },
         .enabled = WithDocument},
        {.id = C::ExportHtml,
         .text = "Export as &HTML File...",
         .prompt = "Export loan document as an HTML file",
         .tip = "Export loan document as an HTML file",
         .menu = M::Tools,
         .run = [](CMainFrame& f) { ExportActiveView(f, brellow::LoanFormat::Html); },
         .enabled = WithDocument},
        {.id = C::ExportCsv,
         .text = "Export as CS&V File...",
         .prompt = "Export the schedule as a CSV file for spreadsheets",
         .tip = "Export loan as CSV file",
         .menu = M::Tools,
         .run = [](CMainFrame& f) { ExportActiveView(f, brellow::LoanFormat::Csv); },
         .enabled = WithDocument},

        {.id = C::RefinanceAdvisor,
         .text = "&Refinance Advisor...",
         .menu = M::Advisors,
         .run = [](CMainFrame& f) { RunRefinanceAdvisor(&f, ShowHelp); },
         .enabled = WithDocument},
        {.id = C::PayoffSummary,
         .text = "&Payoff Summary...",
         .prompt = "Show when the loan is paid off and what the additional payment saves",
         .menu = M::Advisors,
         .run =
             [](CMainFrame& f) {
                 if (LoanDocument* document = f.ActiveDocument()) ShowPayoffSummary(*document, &f);
             },
         .enabled = WithDocument},
        {.id = C::CompareLoans,
         .text = "&Compare Open Loans...",
         .prompt = "Compare the loans that are open side by side",
         .menu = M::Advisors,
         .run = CompareOpenLoans,
         .enabled = WithDocument},

        {.id = C::ChartMonthly,
         .text = "&Monthly Principal vs. Interest",
         .prompt = "Display chart of monthly principal and interest",
         .tip = "Display chart of monthly principal vs interest",
         .menu = M::Charts,
         .run =
             [](CMainFrame& f) {
                 if (LoanDocument* document = f.ActiveDocument()) {
                     ShowPaymentChart(document->doc(), &f);
                 }
             },
         .enabled = WithChartableLoan},
        {.id = C::ChartTotal,
         .text = "&Total Principal vs. Interest",
         .prompt = "Display chart of total principal vs interest",
         .tip = "Display chart of total principal vs interest",
         .menu = M::Charts,
         .run =
             [](CMainFrame& f) {
                 if (LoanDocument* document = f.ActiveDocument()) {
                     ShowTotalChart(document->doc(), &f);
                 }
             },
         .enabled = WithChartableLoan},
        {.id = C::ChartBalance,
         .text = "&Balance Over Time",
         .prompt = "Show how the balance falls over the loan",
         .tip = "Display chart of the balance over time",
         .menu = M::Charts,
         .run =
             [](CMainFrame& f) {
                 if (LoanDocument* document = f.ActiveDocument()) {
                     ShowBalanceChart(document->doc(), &f);
                 }
             },
         .enabled = WithChartableLoan},

        {.id = C::ViewToolbar,
         .text = "&Toolbar",
         .prompt = "Show or hide the toolbar",
         .tip = "Toggle ToolBar",
         .menu = M::View,
         .checkable = true,
         .run =
             [](CMainFrame& f) {
                 f.m_toolBar->setVisible(f.GetAction(C::ViewToolbar)->isChecked());
             }},
        {.id = C::ViewStatusBar,
         .text = "&Status Bar",
         .prompt = "Show or hide the status bar",
         .tip = "Toggle StatusBar",
         .menu = M::View,
         .checkable = true,
         .run =
             [](CMainFrame& f) {
                 f.statusBar()->setVisible(f.GetAction(C::ViewStatusBar)->isChecked());
             }},

        {.id = C::NewWindow,
         .text = "&New Window",
         .prompt = "Open another window for the active document",
         .tip = "New Window",
         .menu = M::Window,
         .run = [](CMainFrame& f) { f.OnWindowNew(); },
         .enabled = WithDocument},
        {.id = C::Cascade,
         .text = "&Cascade",
         .prompt = "Arrange windows so they overlap",
         .tip = "Cascade Windows",
         .menu = M::Window,
         .run = [](CMainFrame& f) { f.OnWindowCascade(); },
         .enabled = WithDocument},
        {.id = C::Tile,
         .text = "&Tile",
         .prompt = "Arrange windows as non-overlapping tiles",
         .tip = "Tile Windows",
         .menu = M::Window,
         .run = [](CMainFrame& f) { f.m_mdiArea->tileSubWindows(); },
         .enabled = WithDocument},
        {.id = C::ArrangeIcons,
         .text = "&Arrange Icons",
         .prompt = "Arrange icons at the bottom of the window",
         .tip = "Arrange Icons",
         .menu = M::Window,
         .run = [](CMainFrame& f) { f.OnArrangeIcons(); },
         .enabled = WithDocument},

        {.id = C::HelpTopics,
         .text = "&Help Topics",
         .prompt = "List Help topics",
         .tip = "Help Topics",
         .menu = M::Help,
         .run = [](CMainFrame& f) { ShowHelp(&f); }},
        {.id = C::About,
         .text = "&About Tamsic...",
         .prompt = "Display program information, version number and copyright",
         .tip = "About",
         .menu = M::Help,
         .separatorBefore = true,
         .button = {9, I::About},
         .run =
             [](CMainFrame& f) {
                 CAboutDlg dialog(&f);
                 dialog.exec();
             }},
        {.id = C::Help,
         .text = "Help",
         .prompt = "Display help for current task or command",
         .tip = "Help",
         .keys = {"F1"},
         .run = [](CMainFrame& f) { ShowHelp(&f); }},
        {.id = C::ContextHelp,
         .text = "Context Help",
         .prompt = "Display help for clicked on buttons, menus and windows",
         .tip = "Help",
         .keys = {"Shift+F1"},
         .button = {10, I::ContextHelp},
         .run = [](CMainFrame&) { QWhatsThis::enterWhatsThisMode(); }},
    };
    return table;
}

QAction* CMainFrame::GetAction(Command command) const {
    return m_actions.at(command);
}

void CMainFrame::CreateCommands() {
    for (const CommandRow& row : CommandTable()) {
        // Menus show the keys from the shortcuts; a key written after a tab in the text
        // would also become the item's name for screen readers ("New\tCtrl+N").
        if (std::strchr(row.text, '\t')) {
            qFatal("The command table's text \"%s\" holds a key.", row.text);
        }
        auto* const action = new QAction(QString::fromUtf8(row.text), this);
        action->setStatusTip(QString::fromUtf8(row.prompt));
        action->setWhatsThis(QString::fromUtf8(row.prompt));
        action->setToolTip(QString::fromUtf8(row.tip));
        action->setShortcuts(SingleKeys(row.keys));
        action->setCheckable(row.checkable);
        action->setChecked(row.checkable);
        if (row.button.slot > 0) {
            action->setIcon(ToolbarIcon(row.button.icon));
            // Menus keep to their texts; the pictures belong to the toolbar.
            action->setIconVisibleInMenu(false);
        }
        if (row.run) {
            connect(action, &QAction::triggered, this, [this, run = row.run] { run(*this); });
        }
        addAction(action);  // shortcuts work whichever menu bar is shown
        m_actions[row.id] = action;
    }
    for (int i = 0; i < RecentFileList::kSize; ++i) {
        auto* const recent = new QAction(this);
        recent->setStatusTip(GetAction(Command::RecentFile)->statusTip());
        connect(recent, &QAction::triggered, this, [this, i] {
            const QStringList& files = m_documents.RecentFiles().Files();
            if (i < files.size()) OpenRecentFile(files[i]);
        });
        m_recentActions.append(recent);
    }
    CreateMenus();
    CreateToolBar();
}

void CMainFrame::CreateMenus() {
    // A menu for documents is shown only while one is open, with all its items.
    static constexpr struct {
        Menu id;
        const char* title;
        bool forDocuments;
    } kMenus[] = {
        {Menu::File, "&File", false},    {Menu::Edit, "&Edit", true},
        {Menu::Tools, "&Tools", true},   {Menu::Advisors, "&Advisors", true},
        {Menu::Charts, "&Charts", true}, {Menu::View, "&View", false},
        {Menu::Window, "&Window", true}, {Menu::Help, "&Help", false},
    };
    for (const auto& [id, title, forDocuments] : kMenus) {
        QMenu* const menu = menuBar()->addMenu(QString::fromUtf8(title));
        // The popup's own name for screen readers, which Qt takes from the window title.
        menu->setWindowTitle(menu->title().remove(QLatin1Char('&')));
        for (const CommandRow& row : CommandTable()) {
            if (row.menu != id) continue;
            MenuItem item{menu, {}, forDocuments || row.documentMenuOnly};
            if (row.separatorBefore) {
                item.actions.append(new QAction(this));
                item.actions.last()->setSeparator(true);
            }
            item.actions.append(GetAction(row.id));
            if (row.id == Command::RecentFile) item.actions.append(m_recentActions);
            menu->addActions(item.actions);
            m_menuItems.append(item);
        }
        if (id == Menu::Window) {
            m_windowMenu = menu;
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowMenu);
        }
    }
}

void CMainFrame::CreateToolBar() {
    static const bool separatorsTold =
        (QAccessible::installFactory(ToolbarSeparatorAccessible), true);
    Q_UNUSED(separatorsTold);
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("Toolbar"));
    // Qt gives the button for the buttons that do not fit no name of its own.
    const QString overflow = QStringLiteral("qt_toolbar_ext_button");
    if (auto* const more = m_toolBar->findChild<QToolButton*>(overflow))
        more->setAccessibleName(QStringLiteral("More Buttons"));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    std::vector<std::pair<int, Command>> buttons;
    for (const CommandRow& row : CommandTable()) {
        if (row.button.slot > 0) buttons.emplace_back(row.button.slot, row.id);
    }
    std::ranges::sort(buttons);
    int last = 0;
    for (const auto& [slot, command] : buttons) {
        if (slot > last + 1) m_toolBar->addSeparator();
        m_toolBar->addAction(GetAction(command));
        last = slot;
    }
    QAction* const toggle = GetAction(Command::ViewToolbar);
    connect(m_toolBar, &QToolBar::visibilityChanged, toggle, [this, toggle](bool) {
        // Hiding the whole window also hides the toolbar; only its own state counts.
        if (!isHidden()) toggle->setChecked(!m_toolBar->isHidden());
    });
}

void CMainFrame::UpdateActions() {
    if (m_destroying) return;
    const LoanDocument* const document = ActiveDocument();
    for (const CommandRow& row : CommandTable()) {
        const bool enabled = (!row.enabled || row.enabled(document)) &&
                             (!row.whileTableShown || m_settings.showTable);
        GetAction(row.id)->setEnabled(enabled);
    }
    ShowDocumentMenus(HasDocumentMenus());
    UpdateTitle();
}

void CMainFrame::ShowDocumentMenus(bool show) {
    if (m_documentMenusShown == show) return;
    m_documentMenusShown = show;
    for (QAction* menuAction : menuBar()->actions()) FillMenu(menuAction);
}

void CMainFrame::FillMenu(QAction* menuAction) {
    const bool withDocuments = m_documentMenusShown.value_or(false);
    QMenu* const menu = menuAction->menu();
    QList<QAction*> shown;
    bool shared = false;
    for (const MenuItem& item : m_menuItems) {
        if (item.menu != menu) continue;
        shared = shared || !item.documentMenuOnly;
        if (withDocuments || !item.documentMenuOnly) shown += item.actions;
    }
    menuAction->setVisible(!shown.isEmpty());
    // Items are taken out of a menu rather than hidden: a hidden action would take its
    // toolbar button with it, and the toolbar keeps every button; and screen readers list
    // hidden items too, the unused recent-file entries as items without a name. A menu
    // that is only for documents is hidden whole and keeps its items (the Window menu its
    // list).
    if (shared) {
        menu->clear();
        for (QAction* action : shown) {
            if (action->isVisible()) menu->addAction(action);
        }
    }
}

void CMainFrame::UpdateRecentFileMenu() {
    const QStringList& files = m_documents.RecentFiles().Files();
    GetAction(Command::RecentFile)->setVisible(files.isEmpty());
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* const action = m_recentActions[i];
        action->setVisible(i < files.size());
        if (i < files.size()) {
            QString shown = files[i];
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        }
    }
    for (const MenuItem& item : m_menuItems) {
        if (item.actions.contains(GetAction(Command::RecentFile)))
            FillMenu(item.menu->menuAction());
    }
}

void CMainFrame::OnOptions() {
    COptionsDlg dialog(m_settings, this);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyDisplaySettings(dialog.Settings());
}
