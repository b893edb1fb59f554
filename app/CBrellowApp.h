#pragma once

// Start-up of the program: the main window, then the first document. A file named on
// the command line is opened; without one the most recently used file is reopened, and
// without either a new document opens. A file that cannot be opened is reported and
// the program goes on with the main window.

#include <QStringList>

#include <memory>

class CMainFrame;

class CBrellowApp {
public:
    CBrellowApp();
    ~CBrellowApp();

    // `arguments` without the program name.
    bool InitInstance(const QStringList& arguments);
    CMainFrame* GetMainFrame() const noexcept { return m_mainFrame.get(); }

private:
    void OpenFirstDocument(const QStringList& arguments);

    std::unique_ptr<CMainFrame> m_mainFrame;
};
