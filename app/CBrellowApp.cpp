#include "app/CBrellowApp.h"

#include "app/CMainFrame.h"

CBrellowApp::CBrellowApp() = default;
CBrellowApp::~CBrellowApp() = default;

bool CBrellowApp::InitInstance(const QStringList& arguments) {
    m_mainFrame = std::make_unique<CMainFrame>();
    m_mainFrame->show();
    OpenFirstDocument(arguments);
    return true;
}

void CBrellowApp::OpenFirstDocument(const QStringList& arguments) {
    if (!arguments.isEmpty() && !arguments.first().isEmpty()) {
        m_mainFrame->OpenDocumentFile(arguments.first());
        return;
    }
    const QString recent = m_mainFrame->Documents().RecentFiles().First();
    if (!recent.isEmpty()) {
        m_mainFrame->OpenRecentFile(recent);
        return;
    }
    m_mainFrame->OnFileNew();
}
