#include "app/DocumentManager.h"

#include "tools/SaveFolders.h"
#include "tools/SettingsStore.h"
#include "view/LoanDocument.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

const char* const kFilter = "Brellow Files (*.brw);;All Files (*)";
// The kind of file whose folder the dialogs remember, and its suffix.
const QString kLoanKind = QStringLiteral("brw");

bool SameFile(const QString& a, const QString& b) {
    const QFileInfo left(a);
    const QFileInfo right(b);
    if (left.exists() && right.exists())
        return left.canonicalFilePath() == right.canonicalFilePath();
    return left.absoluteFilePath() == right.absoluteFilePath();
}

}  // namespace

DocumentManager::DocumentManager(QWidget* window) : m_window(window) {
    QSettings store = SettingsStore();
    m_recentFiles.Load(store);
}

LoanDocument& DocumentManager::Adopt(LoanDocument* document) {
    document->setParent(this);
    m_documents.append(document);
    emit documentOpened(document);
    return *document;
}

LoanDocument& DocumentManager::NewDocument() {
    auto* const document = new LoanDocument;
    document->setTitle(QStringLiteral("Brel%1").arg(++m_nUntitledCount));
    return Adopt(document);
}

LoanDocument* DocumentManager::FindDocument(const QString& path) const {
    for (LoanDocument* document : m_documents) {
        const QString open = document->pathName();
        if (!open.isEmpty() && SameFile(open, path)) return document;
    }
    return nullptr;
}

LoanDocument* DocumentManager::OpenDocumentFile(const QString& path) {
    if (LoanDocument* const open = FindDocument(path)) return open;
    auto* const document = new LoanDocument;
    const QString error = document->readFrom(path);
    if (!error.isEmpty()) {
        delete document;
        ReportError(error);
        return nullptr;
    }
    AddRecentFile(path);
    return &Adopt(document);
}

LoanDocument* DocumentManager::OpenRecentFile(const QString& path) {
    const QString entry = path;  // `path` may live in the list that changes below
    LoanDocument* const document = OpenDocumentFile(entry);
    if (!document) {
        m_recentFiles.Remove(entry);
        KeepRecentFiles();
    }
    return document;
}

LoanDocument* DocumentManager::OnFileOpen() {
    QFileDialog dialog(m_window, QStringLiteral("Open"), QString(), QLatin1String(kFilter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    StartFileDialog(dialog, kLoanKind);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return nullptr;
    RememberFolder(kLoanKind, dialog.selectedFiles().first());
    return OpenDocumentFile(dialog.selectedFiles().first());
}

QString DocumentManager::AskSaveFileName(const LoanDocument& document) {
    QFileDialog dialog(m_window, QStringLiteral("Save As"), QString(), QLatin1String(kFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(kLoanKind);
    // A saved loan is proposed where it is; a new one in the folder of the last loans.
    const QString path = document.pathName();
    if (path.isEmpty()) {
        StartFileDialog(dialog, kLoanKind, NameWithSuffix(document.title(), kLoanKind));
    } else {
        dialog.selectFile(path);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    RememberFolder(kLoanKind, dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}

bool DocumentManager::DoSaveAs(LoanDocument& document) {
    const QString path = AskSaveFileName(document);
    if (path.isEmpty()) return false;
    const QString error = document.saveTo(path);
    if (!error.isEmpty()) {
        ReportError(error);
        return false;
    }
    AddRecentFile(path);
    return true;
}

bool DocumentManager::DoFileSave(LoanDocument& document) {
    const QString path = document.pathName();
    if (path.isEmpty()) return DoSaveAs(document);
    const QString error = document.saveTo(path);
    if (!error.isEmpty()) {
        ReportError(error);
        return false;
    }
    return true;
}

bool DocumentManager::SaveModified(LoanDocument& document) {
    if (!document.isModified()) return true;
    const auto answer = QMessageBox::question(
        m_window, QStringLiteral("Brellow"),
        QStringLiteral("Save changes to %1?").arg(document.title()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return DoFileSave(document);
    return answer == QMessageBox::Discard;
}

bool DocumentManager::SaveAllModified() {
    // A copy: the questions run the event loop, in which the list may change.
    for (LoanDocument* document : QList<LoanDocument*>(m_documents)) {
        if (!SaveModified(*document)) return false;
    }
    return true;
}

void DocumentManager::CloseDocument(LoanDocument& document) {
    if (m_documents.removeOne(&document)) document.deleteLater();
}

void DocumentManager::AddRecentFile(const QString& path) {
    m_recentFiles.Add(path);
    KeepRecentFiles();
}

void DocumentManager::KeepRecentFiles() {
    // Kept at once, so a run that does not end normally still remembers the list.
    QSettings store = SettingsStore();
    m_recentFiles.Save(store);
    emit recentFilesChanged();
}

void DocumentManager::ReportError(const QString& message) {
    QMessageBox::warning(m_window, QStringLiteral("Brellow"), message);
}
