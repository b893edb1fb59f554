#pragma once

// The open loan documents and the files behind them: it makes new documents, reads and
// saves them, asks before a modified one is lost and keeps the recently used files.
// Windows are not its business: the main frame shows the documents it hands out and
// tells it when the last window of one has gone.

#include "app/RecentFileList.h"

#include <QList>
#include <QObject>

class LoanDocument;
class QWidget;

class DocumentManager : public QObject {
    Q_OBJECT

public:
    // File dialogs and messages open above `window`.
    explicit DocumentManager(QWidget* window);

    const QList<LoanDocument*>& Documents() const noexcept { return m_documents; }
    const RecentFileList& RecentFiles() const noexcept { return m_recentFiles; }

    // A new document titled "Brel1", "Brel2"...
    LoanDocument& NewDocument();
    // The document of the file at `path`: the open one if there is one, else one read
    // from the file. A file that cannot be read is reported by name with the reason, and
    // the result is null.
    LoanDocument* OpenDocumentFile(const QString& path);
    // As OpenDocumentFile; an entry that cannot be opened is dropped from the list.
    LoanDocument* OpenRecentFile(const QString& path);
    // Asks for a file and opens it; null when the person cancelled or it failed.
    LoanDocument* OnFileOpen();

    // Save and Save As; false when the person cancelled or the write failed (reported).
    bool DoFileSave(LoanDocument& document);
    bool DoSaveAs(LoanDocument& document);
    // Asks whether to save a modified document: true when it may be closed.
    bool SaveModified(LoanDocument& document);
    // SaveModified for every document in turn, up to the first that may not be closed.
    bool SaveAllModified();
    // Forgets a document whose last window has gone. It is deleted later, as the dying
    // window's view still holds it.
    void CloseDocument(LoanDocument& document);

signals:
    // A new or newly read document, before any window shows it.
    void documentOpened(LoanDocument* document);
    void recentFilesChanged();

private:
    LoanDocument& Adopt(LoanDocument* document);
    LoanDocument* FindDocument(const QString& path) const;
    QString AskSaveFileName(const LoanDocument& document);
    void AddRecentFile(const QString& path);
    void KeepRecentFiles();
    void ReportError(const QString& message);

    QWidget* m_window;
    QList<LoanDocument*> m_documents;
    RecentFileList m_recentFiles;
    int m_nUntitledCount = 0;
};
