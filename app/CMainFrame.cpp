#include "app/CMainFrame.h"

#include "app/AppIcons.h"
#include "app/CChildFrame.h"
#include "tools/SettingsStore.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>

#include <algorithm>

namespace {

// The local .brw files among dropped URLs, in the order they came.
QStringList LoanFilesOf(const QMimeData* data) {
    QStringList paths;
    if (!data) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).suffix().compare(QLatin1String("brw"), Qt::CaseInsensitive) == 0)
            paths.append(path);
    }
    return paths;
}

// The loan files of a drag, accepted as a copy whatever the source proposes: opening only
// reads them, and a source told they were moved may delete them. None when the source does
// not offer a copy.
QStringList TakeLoanFiles(QDropEvent* event) {
    if (!(event->possibleActions() & Qt::CopyAction)) return {};
    QStringList paths = LoanFilesOf(event->mimeData());
    if (paths.isEmpty()) return paths;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return paths;
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), m_documents(this), m_mdiArea(new QMdiArea) {
    ReadSettings();
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    CreateCommands();
    CreateStatusBar();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateActions);
    connect(&m_documents, &DocumentManager::documentOpened, this, &CMainFrame::WatchDocument);
    connect(&m_documents, &DocumentManager::recentFilesChanged, this,
            &CMainFrame::UpdateRecentFileMenu);
    UpdateRecentFileMenu();
    UpdateActions();
    RestorePlacement();
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
    QSettings store = SettingsStore();
    m_settings = LoadDisplaySettings(store);
}

// The recent files are not among them: the document manager keeps them as they change.
// The window's place is kept while it is on screen; a window never shown has none.
void CMainFrame::WriteSettings() {
    QSettings store = SettingsStore();
    SaveDisplaySettings(store, m_settings);
    if (isVisible()) SaveWindowPlacement(store, {normalGeometry(), isMaximized()});
}

// Where the last run left the window, as long as it fits the available area of the screen
// it was on (the primary screen when that one is gone): no larger, its top left corner on
// it. Otherwise it is shrunk and moved as little as needed to lie within. Without one, the
// default size within the primary screen, placed by the window manager.
void CMainFrame::RestorePlacement() {
    const WindowPlacement placement = LoadWindowPlacement(SettingsStore());
    const QRect& saved = placement.normal;
    const QScreen* screen = QGuiApplication::screenAt(saved.center());
    if (!saved.isValid() || !screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 900, 700);
    if (!saved.isValid()) {
        resize(QSize(900, 700).boundedTo(area.size()));
        return;
    }
    const QSize size = saved.size().boundedTo(area.size());
    QRect placed = saved;
    if (size != saved.size() || !area.contains(saved.topLeft())) {
        placed = QRect(QPoint(std::clamp(saved.x(), area.left(), area.right() - size.width() + 1),
                              std::clamp(saved.y(), area.top(), area.bottom() - size.height() + 1)),
                       size);
    }
    setGeometry(placed);
    if (placement.maximized) setWindowState(windowState() | Qt::WindowMaximized);
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
    // The file the window stands for, which the charts' Save Image As names its image after.
    QString file;
    if (child) {
        const LoanDocument& document = child->GetDocument();
        file = document.pathName().isEmpty() ? document.title() : document.pathName();
    }
    setWindowFilePath(file);
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

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    TakeLoanFiles(event);
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList paths = TakeLoanFiles(event);
    if (paths.isEmpty()) return;
    // Opened once the drop has returned: the program the files came from would otherwise
    // wait while a message about a file that cannot be read is open.
    QMetaObject::invokeMethod(
        this,
        [this, paths] {
            for (const QString& path : paths) OpenDocumentFile(path);
        },
        Qt::QueuedConnection);
}
