// The main frame's windows of documents: each document the document manager hands out
// gets a child window, and a document goes when its last window does.

#include "app/CMainFrame.h"

#include "app/AppIcons.h"
#include "app/CChildFrame.h"
#include "app/HelpWindow.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"

#include <QMdiArea>

#include <algorithm>

void CMainFrame::WatchDocument(LoanDocument* document) {
    const auto refresh = [this, document] {
        UpdateFrameTitles(*document);
        UpdateActions();
    };
    connect(document, &LoanDocument::modifiedChanged, this, refresh);
    connect(document, &LoanDocument::titleChanged, this, refresh);
    connect(document, &LoanDocument::termsChanged, this, &CMainFrame::UpdateActions);
}

CChildFrame* CMainFrame::CreateChildFrame(LoanDocument& document) {
    auto* const view = new CTamsicView(document, m_settings, ShowHelp);
    auto* const frame = new CChildFrame(*this, document, view);
    frame->setWindowIcon(ProgramIcon());
    CChildFrame* const active = ActiveChild();
    m_frames.append(frame);
    m_mdiArea->addSubWindow(frame);
    view->OnInitialUpdate();
    UpdateFrameTitles(document);
    // Wide enough for the whole table, which the view's size hint holds with its frame and
    // scroll bar, as far as the area allows. Each new window steps down from the active
    // one, back to the corner when it would leave the area.
    const QSize area = m_mdiArea->viewport()->size();
    const QSize size(std::min(frame->sizeHint().width(), std::max(area.width(), 320)),
                     std::min(520, std::max(area.height(), 240)));
    QPoint position(0, 0);
    if (active && !active->isMaximized()) {
        position = active->pos() + QPoint(24, 24);
        if (position.x() + size.width() > area.width() ||
            position.y() + size.height() > area.height()) {
            position = QPoint(0, 0);
        }
    }
    frame->setGeometry(QRect(position, size));
    frame->show();
    m_mdiArea->setActiveSubWindow(frame);
    UpdateActions();
    return frame;
}

CChildFrame* CMainFrame::ShowDocument(LoanDocument* document) {
    if (!document) return nullptr;
    const QList<CChildFrame*> frames = FramesOf(*document);
    if (frames.isEmpty()) return CreateChildFrame(*document);
    m_mdiArea->setActiveSubWindow(frames.first());
    return frames.first();
}

CChildFrame* CMainFrame::OnFileNew() {
    return CreateChildFrame(m_documents.NewDocument());
}

CChildFrame* CMainFrame::OpenDocumentFile(const QString& path) {
    return ShowDocument(m_documents.OpenDocumentFile(path));
}

CChildFrame* CMainFrame::OpenRecentFile(const QString& path) {
    return ShowDocument(m_documents.OpenRecentFile(path));
}

bool CMainFrame::CloseDocument(LoanDocument& document) {
    if (!m_documents.SaveModified(document)) return false;
    qDeleteAll(FramesOf(document));
    return true;
}

bool CMainFrame::CloseAllDocuments() {
    if (!m_documents.SaveAllModified()) return false;
    qDeleteAll(QList<CChildFrame*>(m_frames));
    return true;
}

CChildFrame* CMainFrame::OnWindowNew() {
    LoanDocument* const document = ActiveDocument();
    return document ? CreateChildFrame(*document) : nullptr;
}

bool CMainFrame::CanCloseFrame(CChildFrame& frame) {
    if (FramesOf(frame.GetDocument()).size() > 1) return true;
    return m_documents.SaveModified(frame.GetDocument());
}

void CMainFrame::OnChildFrameGone(CChildFrame& frame) {
    if (!m_frames.removeOne(&frame) || m_destroying) return;
    LoanDocument& document = frame.GetDocument();
    if (FramesOf(document).isEmpty()) {
        m_documents.CloseDocument(document);
    } else {
        UpdateFrameTitles(document);
    }
    UpdateActions();
}
