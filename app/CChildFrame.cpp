#include "app/CChildFrame.h"

#include "app/CMainFrame.h"
#include "view/CTamsicView.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(CMainFrame& mainFrame, LoanDocument& document, CTamsicView* view)
    : m_mainFrame(mainFrame), m_document(document), m_view(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
}

CChildFrame::~CChildFrame() {
    m_mainFrame.OnChildFrameGone(*this);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_mainFrame.CanCloseFrame(*this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
    // The window is deleted later; its document and menus must not wait for that.
    if (event->isAccepted()) m_mainFrame.OnChildFrameGone(*this);
}
