#pragma once

// The window of one view of a loan document inside the main frame. Closing the last
// window of a modified document asks to save it first; "Cancel" keeps it open.

#include <QMdiSubWindow>

class CMainFrame;
class CTamsicView;
class LoanDocument;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    CChildFrame(CMainFrame& mainFrame, LoanDocument& document, CTamsicView* view);
    ~CChildFrame() override;

    LoanDocument& GetDocument() const noexcept { return m_document; }
    CTamsicView* GetView() const noexcept { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CMainFrame& m_mainFrame;
    LoanDocument& m_document;
    CTamsicView* m_view;
};
