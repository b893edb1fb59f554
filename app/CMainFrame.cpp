#include "app/CMainFrame.h"

#include "app/AppIcons.h"
#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/COptionsDlg.h"
#include "app/HelpWindow.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"
#include "view/LoanParamsCommands.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

#include <algorithm>

namespace {

QSettings Store() {
    return QSettings(QStringLiteral("Korvell"), QStringLiteral("Brellow"));
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), m_mdiArea(new QMdiArea) {
    ReadSettings();
    setWindowIcon(ProgramIcon());
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateActions);
    UpdateRecentFileMenu();
    UpdateActions();
    resize(900, 700);
}

CMainFrame::~CMainFrame() {
    m_destroying = true;
    // Closed windows wait for their deferred deletion and are not in m_frames any more;
    // they go here too, while this frame can still hear from them, not later with the
    // widgets of the area.
    qDeleteAll(m_mdiArea->findChildren<CChildFrame*>());
    WriteSettings();
}

void CMainFrame::ReadSettings() {
    QSettings store = Store();
    m_settings = LoadDisplaySettings(store);
    m_recentFiles.Load(store);
}

void CMainFrame::WriteSettings() {
    QSettings store = Store();
    SaveDisplaySettings(store, m_settings);
    m_recentFiles.Save(store);
}

void CMainFrame::SaveRecentFiles() {
    QSettings store = Store();
    m_recentFiles.Save(store);
}

QAction* CMainFrame::GetAction(Command command) const {
    return m_actions.at(command);
}

QAction* CMainFrame::AddAction(Command command, const QString& text, const QString& prompt,
                               const QString& tip, const QList<QKeySequence>& keys) {
    auto* const action = new QAction(text, this);
    action->setStatusTip(prompt);
    action->setWhatsThis(prompt);
    action->setToolTip(tip);
    action->setShortcuts(keys);
    addAction(action);  // shortcuts work whichever menu bar is shown
    m_actions[command] = action;
    return action;
}

void CMainFrame::CreateActions() {
    using C = Command;
    using K = QKeySequence;
    const auto S = [](const char* text) { return QString::fromUtf8(text); };

    connect(AddAction(C::New, S("&New\tCtrl+N"), S("Create a new document"), S("New"),
                      {K(Qt::CTRL | Qt::Key_N)}),
            &QAction::triggered, this, &CMainFrame::OnFileNew);
    connect(AddAction(C::Open, S("&Open...\tCtrl+O"), S("Open an existing document"), S("Open"),
                      {K(Qt::CTRL | Qt::Key_O)}),
            &QAction::triggered, this, &CMainFrame::OnFileOpen);
    connect(AddAction(C::Close, S("&Close"), S("Close the active document"), S("Close")),
            &QAction::triggered, this, &CMainFrame::OnFileClose);
    connect(AddAction(C::Save, S("&Save\tCtrl+S"), S("Save the active document"), S("Save"),
                      {K(Qt::CTRL | Qt::Key_S)}),
            &QAction::triggered, this, &CMainFrame::OnFileSave);
    connect(AddAction(C::SaveAs, S("Save &As..."), S("Save the active document with a new name"),
                      S("Save As")),
            &QAction::triggered, this, &CMainFrame::OnFileSaveAs);
    AddAction(C::Print, S("&Print...\tCtrl+P"), S("Print the active document"), S("Print"),
              {K(Qt::CTRL | Qt::Key_P)});
    AddAction(C::PrintPreview, S("Print Pre&view"), S("Display full pages"), S("Print Preview"));
    connect(AddAction(C::PrintSetup, S("P&rint Setup..."),
                      S("Change the printer and printing options"), S("Print Setup")),
            &QAction::triggered, this, &CMainFrame::OnFilePrintSetup);
    connect(AddAction(C::Exit, S("E&xit"), S("Quit the application; prompts to save documents"),
                      S("Exit")),
            &QAction::triggered, this, &QWidget::close);

    connect(AddAction(C::Undo, S("&Undo\tCtrl+Z"), S("Undo the last action"), S("Undo"),
                      {K(Qt::CTRL | Qt::Key_Z), K(Qt::ALT | Qt::Key_Backspace)}),
            &QAction::triggered, this, [this] {
                if (CTamsicView* view = ActiveView()) view->OnEditUndo();
            });
    connect(AddAction(C::Redo, S("&Redo\tCtrl+Y"), S("Redo the previously undone action"),
                      S("Redo"), {K(Qt::CTRL | Qt::Key_Y)}),
            &QAction::triggered, this, [this] {
                if (CTamsicView* view = ActiveView()) view->OnEditRedo();
            });
    AddAction(C::CopyTable, S("Copy Ta&ble\tCtrl+C"), S("Copy entire table onto the clipboard"),
              S("Copy entire table"), {K(Qt::CTRL | Qt::Key_C)});

    connect(AddAction(C::ChangeLoanParameters, S("&Change Loan Parameters...\tCtrl+L"),
                      S("Change parameters for the current loan"), S("Change parameters"),
                      {K(Qt::CTRL | Qt::Key_L)}),
            &QAction::triggered, this, [this] {
                if (CTamsicView* view = ActiveView()) view->OnChangeLoanParameters();
            });
    connect(AddAction(C::Options, S("&Options...\tCtrl+T"),
                      S("Options to display with different colors and styles"),
                      S("Display options"), {K(Qt::CTRL | Qt::Key_T)}),
            &QAction::triggered, this, &CMainFrame::OnOptions);
    AddAction(C::ExportText, S("&Export as Text File..."),
              S("Export the loan document as a text file"), S("Export loan as text file"));
    AddAction(C::ExportHtml, S("Export as &HTML File..."),
              S("Export loan document as an HTML file"), S("Export loan document as an HTML file"));
    AddAction(C::RefinanceAdvisor, S("&Refinance Advisor..."), QString(), QString());
    AddAction(C::ChartMonthly, S("&Monthly Principal vs. Interest"),
              S("Display chart of monthly principal and interest"),
              S("Display chart of monthly principal vs interest"));
    AddAction(C::ChartTotal, S("&Total Principal vs. Interest"),
              S("Display chart of total principal vs interest"),
              S("Display chart of total principal vs interest"));

    QAction* const toolbar = AddAction(C::ViewToolbar, S("&Toolbar"), S("Show or hide the toolbar"),
                                       S("Toggle ToolBar"));
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    QAction* const statusBarAction =
        AddAction(C::ViewStatusBar, S("&Status Bar"), S("Show or hide the status bar"),
                  S("Toggle StatusBar"));
    statusBarAction->setCheckable(true);
    statusBarAction->setChecked(true);
    connect(statusBarAction, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });

    connect(AddAction(C::NewWindow, S("&New Window"),
                      S("Open another window for the active document"), S("New Window")),
            &QAction::triggered, this, &CMainFrame::OnWindowNew);
    connect(AddAction(C::Cascade, S("&Cascade"), S("Arrange windows so they overlap"),
                      S("Cascade Windows")),
            &QAction::triggered, this, &CMainFrame::OnWindowCascade);
    connect(AddAction(C::Tile, S("&Tile"), S("Arrange windows as non-overlapping tiles"),
                      S("Tile Windows")),
            &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);
    connect(AddAction(C::ArrangeIcons, S("&Arrange Icons"),
                      S("Arrange icons at the bottom of the window"), S("Arrange Icons")),
            &QAction::triggered, this, &CMainFrame::OnArrangeIcons);

    connect(AddAction(C::HelpTopics, S("&Help Topics"), S("List Help topics"), S("Help Topics")),
            &QAction::triggered, this, &CMainFrame::OnHelp);
    connect(AddAction(C::About, S("&About Tamsic..."),
                      S("Display program information, version number and copyright"), S("About")),
            &QAction::triggered, this, &CMainFrame::OnAppAbout);
    connect(AddAction(C::Help, S("Help"), S("Display help for current task or command"), S("Help"),
                      {K(Qt::Key_F1)}),
            &QAction::triggered, this, &CMainFrame::OnHelp);
    connect(AddAction(C::ContextHelp, S("Context Help"),
                      S("Display help for clicked on buttons, menus and windows"), S("Help"),
                      {K(Qt::SHIFT | Qt::Key_F1)}),
            &QAction::triggered, this, &CMainFrame::OnContextHelp);

    for (Command command : {C::New, C::Open, C::Save, C::CopyTable, C::Print, C::About,
                            C::ContextHelp, C::ChangeLoanParameters, C::Options, C::ExportText}) {
        static const std::map<Command, ToolIcon> kIcons = {
            {C::New, ToolIcon::New},
            {C::Open, ToolIcon::Open},
            {C::Save, ToolIcon::Save},
            {C::CopyTable, ToolIcon::CopyTable},
            {C::Print, ToolIcon::Print},
            {C::About, ToolIcon::About},
            {C::ContextHelp, ToolIcon::ContextHelp},
            {C::ChangeLoanParameters, ToolIcon::ChangeParameters},
            {C::Options, ToolIcon::Options},
            {C::ExportText, ToolIcon::ExportText},
        };
        GetAction(command)->setIcon(ToolbarIcon(kIcons.at(command)));
        // Menus keep to their texts; the pictures belong to the toolbar.
        GetAction(command)->setIconVisibleInMenu(false);
    }
}

void CMainFrame::CreateMenus() {
    using C = Command;
    QMenuBar* const bar = menuBar();
    const auto add = [this](QMenu* menu, std::initializer_list<Command> commands) {
        for (Command command : commands) menu->addAction(GetAction(command));
    };

    QMenu* const file = m_fileMenu = bar->addMenu(QStringLiteral("&File"));
    add(file, {C::New, C::Open, C::Close, C::Save, C::SaveAs});
    QAction* const printSeparator = file->addSeparator();
    add(file, {C::Print, C::PrintPreview, C::PrintSetup});
    file->addSeparator();
    m_recentPlaceholder = file->addAction(QStringLiteral("Recent File"));
    m_recentPlaceholder->setStatusTip(QStringLiteral("Open this document"));
    m_recentPlaceholder->setEnabled(false);
    for (int i = 0; i < RecentFileList::kSize; ++i) {
        QAction* const recent = file->addAction(QString());
        recent->setStatusTip(QStringLiteral("Open this document"));
        connect(recent, &QAction::triggered, this, [this, i] {
            if (i < m_recentFiles.Files().size()) OpenRecentFile(m_recentFiles.Files()[i]);
        });
        m_recentActions.append(recent);
    }
    file->addSeparator();
    add(file, {C::Exit});
    m_documentFileActions = {GetAction(C::Close), GetAction(C::Save),  GetAction(C::SaveAs),
                             printSeparator,      GetAction(C::Print), GetAction(C::PrintPreview)};

    QMenu* const edit = bar->addMenu(QStringLiteral("&Edit"));
    add(edit, {C::Undo, C::Redo});
    edit->addSeparator();
    add(edit, {C::CopyTable});

    QMenu* const tools = bar->addMenu(QStringLiteral("&Tools"));
    add(tools, {C::ChangeLoanParameters, C::Options});
    tools->addSeparator();
    add(tools, {C::ExportText, C::ExportHtml});

    QMenu* const advisors = bar->addMenu(QStringLiteral("&Advisors"));
    add(advisors, {C::RefinanceAdvisor});
    QMenu* const charts = bar->addMenu(QStringLiteral("&Charts"));
    add(charts, {C::ChartMonthly, C::ChartTotal});

    QMenu* const view = bar->addMenu(QStringLiteral("&View"));
    add(view, {C::ViewToolbar, C::ViewStatusBar});

    m_windowMenu = bar->addMenu(QStringLiteral("&Window"));
    add(m_windowMenu, {C::NewWindow, C::Cascade, C::Tile, C::ArrangeIcons});
    connect(m_windowMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowMenu);

    QMenu* const help = bar->addMenu(QStringLiteral("&Help"));
    add(help, {C::HelpTopics});
    help->addSeparator();
    add(help, {C::About});

    m_documentMenus = {edit, tools, advisors, charts, m_windowMenu};
}

void CMainFrame::CreateToolBar() {
    using C = Command;
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("Toolbar"));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (Command command : {C::New, C::Open, C::Save}) m_toolBar->addAction(GetAction(command));
    m_toolBar->addSeparator();
    m_toolBar->addAction(GetAction(C::CopyTable));
    m_toolBar->addSeparator();
    m_toolBar->addAction(GetAction(C::Print));
    m_toolBar->addSeparator();
    m_toolBar->addAction(GetAction(C::About));
    m_toolBar->addAction(GetAction(C::ContextHelp));
    m_toolBar->addSeparator();
    for (Command command : {C::ChangeLoanParameters, C::Options, C::ExportText}) {
        m_toolBar->addAction(GetAction(command));
    }
    QAction* const toggle = GetAction(C::ViewToolbar);
    connect(toggle, &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, toggle, [this, toggle](bool) {
        // Hiding the whole window also hides the toolbar; only its own state counts.
        if (!isHidden()) toggle->setChecked(!m_toolBar->isHidden());
    });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* const bar = statusBar();
    bar->addWidget(new QLabel(QStringLiteral("Ready")), 1);
    // Lock-key indicators, greyed: the windowing layer does not report the lock state.
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* const label = new QLabel(QString::fromLatin1(indicator));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setEnabled(false);
        bar->addPermanentWidget(label);
    }
}

QPrinter& CMainFrame::Printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setResolution(600);
    }
    return *m_printer;
}

CChildFrame* CMainFrame::ActiveChild() const {
    auto* const child = qobject_cast<CChildFrame*>(m_mdiArea->currentSubWindow());
    if (m_frames.contains(child)) return child;
    // A frame just closed may still be current until the area picks the next one.
    return m_frames.isEmpty() ? nullptr : m_frames.last();
}

CTamsicView* CMainFrame::ActiveView() const {
    CChildFrame* const child = ActiveChild();
    return child ? child->GetView() : nullptr;
}

LoanDocument* CMainFrame::ActiveDocument() const {
    CChildFrame* const child = ActiveChild();
    return child ? &child->GetDocument() : nullptr;
}

QList<CChildFrame*> CMainFrame::FramesOf(const LoanDocument& document) const {
    QList<CChildFrame*> frames;
    for (CChildFrame* frame : m_frames) {
        if (&frame->GetDocument() == &document) frames.append(frame);
    }
    return frames;
}

bool CMainFrame::HasDocumentMenus() const {
    return !m_frames.isEmpty();
}

void CMainFrame::UpdateActions() {
    if (m_destroying) return;
    using C = Command;
    LoanDocument* const document = ActiveDocument();
    const bool open = document != nullptr;
    for (Command command : {C::Close, C::Save, C::SaveAs, C::ChangeLoanParameters, C::NewWindow,
                            C::Cascade, C::Tile, C::ArrangeIcons}) {
        GetAction(command)->setEnabled(open);
    }
    GetAction(C::Undo)->setEnabled(open && CanUndoLoanParameters(*document));
    GetAction(C::Redo)->setEnabled(open && CanRedoLoanParameters(*document));
    // Filled in by their own work: shown, but not yet available.
    for (Command command : {C::Print, C::PrintPreview, C::CopyTable, C::ExportText, C::ExportHtml,
                            C::RefinanceAdvisor, C::ChartMonthly, C::ChartTotal}) {
        GetAction(command)->setEnabled(false);
    }

    const bool documentMenus = HasDocumentMenus();
    for (QMenu* menu : m_documentMenus) menu->menuAction()->setVisible(documentMenus);
    ShowDocumentFileItems(documentMenus);
    UpdateTitle();
}

void CMainFrame::ShowDocumentFileItems(bool show) {
    // Taken out of the menu rather than hidden: a hidden action would take its toolbar
    // button with it, and the toolbar keeps every button, disabled without a document.
    if (m_fileMenu->actions().contains(m_documentFileActions.first()) == show) return;
    QAction* const before = GetAction(Command::PrintSetup);
    for (QAction* action : m_documentFileActions) {
        if (show) {
            m_fileMenu->insertAction(before, action);
        } else {
            m_fileMenu->removeAction(action);
        }
    }
}

void CMainFrame::UpdateTitle() {
    CChildFrame* const child = ActiveChild();
    m_title = QStringLiteral("Brellow");
    m_titleModified = false;
    if (child) {
        QString name = child->windowTitle();
        name.remove(QStringLiteral("[*]"));
        m_title += QStringLiteral(" - %1[*]").arg(name);
        m_titleModified = child->GetDocument().isModified();
    }
    ApplyTitle();
}

void CMainFrame::ApplyTitle() {
    if (windowTitle() != m_title) setWindowTitle(m_title);
    if (isWindowModified() != m_titleModified) setWindowModified(m_titleModified);
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A maximised child adds its own title to ours, and one that is restored puts back
    // the title it found: ours names the active window once, marked as that window is.
    if (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::ModifiedChange) {
        ApplyTitle();
    }
}

void CMainFrame::UpdateFrameTitles(const LoanDocument& document) {
    const QList<CChildFrame*> frames = FramesOf(document);
    for (qsizetype i = 0; i < frames.size(); ++i) {
        QString title = document.title();
        if (frames.size() > 1) title += QStringLiteral(":%1").arg(i + 1);
        frames[i]->setWindowTitle(title + QStringLiteral("[*]"));
        frames[i]->setWindowModified(document.isModified());
    }
    UpdateTitle();
}

void CMainFrame::UpdateRecentFileMenu() {
    const QStringList& files = m_recentFiles.Files();
    m_recentPlaceholder->setVisible(files.isEmpty());
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* const action = m_recentActions[i];
        action->setVisible(i < files.size());
        if (i < files.size()) {
            QString shown = files[i];
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        }
    }
}

void CMainFrame::UpdateWindowMenu() {
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    if (m_frames.isEmpty()) return;
    m_windowListActions.append(m_windowMenu->addSeparator());
    CChildFrame* const active = ActiveChild();
    for (qsizetype i = 0; i < m_frames.size(); ++i) {
        CChildFrame* const frame = m_frames[i];
        QString title = frame->windowTitle();
        title.remove(QStringLiteral("[*]"));
        QAction* const item =
            m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        item->setCheckable(true);
        item->setChecked(frame == active);
        connect(item, &QAction::triggered, this, [this, frame] {
            if (m_frames.contains(frame)) m_mdiArea->setActiveSubWindow(frame);
        });
        m_windowListActions.append(item);
    }
}

void CMainFrame::ApplyDisplaySettings(const DisplaySettings& settings) {
    const bool tableToggled = settings.showTable != m_settings.showTable;
    m_settings = settings;
    for (CChildFrame* frame : m_frames) {
        CTamsicView* const view = frame->GetView();
        if (tableToggled) view->UpdateLayout();
        view->viewport()->update();
    }
    UpdateActions();
}

void CMainFrame::OnOptions() {
    COptionsDlg dialog(m_settings, this);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyDisplaySettings(dialog.Settings());
}

void CMainFrame::OnFilePrintSetup() {
    QPageSetupDialog dialog(&Printer(), this);
    dialog.exec();
}

void CMainFrame::OnAppAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnHelp() {
    ShowHelp(this);
}

void CMainFrame::OnContextHelp() {
    QWhatsThis::enterWhatsThisMode();
}

void CMainFrame::OnWindowCascade() {
    // The area gives each window the size its view prefers, the whole table; a long
    // table is cut at the bottom of the area, where the window's own scroll bar takes over.
    m_mdiArea->cascadeSubWindows();
    const QRect area = m_mdiArea->viewport()->rect();
    for (CChildFrame* frame : m_frames) {
        if (frame->isMinimized() || frame->isHidden()) continue;
        QRect geometry = frame->geometry();
        geometry.setRight(std::min(geometry.right(), area.right()));
        geometry.setBottom(std::min(geometry.bottom(), area.bottom()));
        geometry.setSize(geometry.size().expandedTo(frame->minimumSizeHint()));
        frame->setGeometry(geometry);
    }
}

void CMainFrame::OnArrangeIcons() {
    const int bottom = m_mdiArea->viewport()->height();
    int x = 0;
    for (CChildFrame* frame : m_frames) {
        if (!frame->isMinimized()) continue;
        frame->move(x, bottom - frame->height());
        x += frame->width();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!CloseAllDocuments()) {
        event->ignore();
        return;
    }
    WriteSettings();
    event->accept();
}
