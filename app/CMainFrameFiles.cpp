// The main frame's document commands: new, open, save, close and the windows of each
// document.

#include "app/CMainFrame.h"

#include "app/AppIcons.h"
#include "app/CChildFrame.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>

#include <algorithm>

namespace {

const char* const kFilter = "Brellow Files (*.brw);;All Files (*)";

bool SameFile(const QString& a, const QString& b) {
    const QFileInfo left(a);
    const QFileInfo right(b);
    if (left.exists() && right.exists())
        return left.canonicalFilePath() == right.canonicalFilePath();
    return left.absoluteFilePath() == right.absoluteFilePath();
}

}  // namespace

void CMainFrame::ReportError(const QString& message) {
    QMessageBox::warning(this, QStringLiteral("Brellow"), message);
}

void CMainFrame::AddRecentFile(const QString& path) {
    m_recentFiles.Add(path);
    // Kept at once, so a run that does not end normally still remembers it.
    SaveRecentFiles();
    UpdateRecentFileMenu();
}

LoanDocument* CMainFrame::AdoptDocument(LoanDocument* document) {
    document->setParent(this);
    const auto refresh = [this, document] {
        UpdateFrameTitles(*document);
        UpdateActions();
    };
    connect(document, &LoanDocument::modifiedChanged, this, refresh);
    connect(document, &LoanDocument::titleChanged, this, refresh);
    connect(document, &LoanDocument::termsChanged, this, &CMainFrame::UpdateActions);
    return document;
}

CChildFrame* CMainFrame::CreateChildFrame(LoanDocument& document) {
    auto* const view = new CTamsicView(document, m_settings);
    auto* const frame = new CChildFrame(*this, document, view);
    frame->setWindowIcon(ProgramIcon());
    // Each new window steps down from the active one, back to the corner when it
    // would leave the area.
    const QSize area = m_mdiArea->viewport()->size();
    const QSize size(std::min(720, std::max(area.width(), 320)),
                     std::min(520, std::max(area.height(), 240)));
    QPoint position(0, 0);
    if (CChildFrame* const active = ActiveChild(); active && !active->isMaximized()) {
        position = active->pos() + QPoint(24, 24);
        if (position.x() + size.width() > area.width() ||
            position.y() + size.height() > area.height()) {
            position = QPoint(0, 0);
        }
    }
    m_frames.append(frame);
    m_mdiArea->addSubWindow(frame);
    view->OnInitialUpdate();
    UpdateFrameTitles(document);
    frame->setGeometry(QRect(position, size));
    frame->show();
    m_mdiArea->setActiveSubWindow(frame);
    UpdateActions();
    return frame;
}

CChildFrame* CMainFrame::OnFileNew() {
    auto* const document = AdoptDocument(new LoanDocument);
    document->setTitle(QStringLiteral("Brel%1").arg(++m_nUntitledCount));
    return CreateChildFrame(*document);
}

CChildFrame* CMainFrame::OpenDocumentFile(const QString& path) {
    for (CChildFrame* frame : m_frames) {
        const QString open = frame->GetDocument().pathName();
        if (!open.isEmpty() && SameFile(open, path)) {
            m_mdiArea->setActiveSubWindow(frame);
            return frame;
        }
    }
    auto* const document = new LoanDocument;
    const QString error = document->readFrom(path);
    if (!error.isEmpty()) {
        delete document;
        ReportError(error);
        return nullptr;
    }
    AdoptDocument(document);
    AddRecentFile(path);
    return CreateChildFrame(*document);
}

CChildFrame* CMainFrame::OpenRecentFile(const QString& path) {
    const QString entry = path;  // `path` may live in the list that changes below
    CChildFrame* const frame = OpenDocumentFile(entry);
    if (!frame) {
        m_recentFiles.Remove(entry);
        SaveRecentFiles();
        UpdateRecentFileMenu();
    }
    return frame;
}

void CMainFrame::OnFileOpen() {
    QFileDialog dialog(this, QStringLiteral("Open"), QString(), QLatin1String(kFilter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    OpenDocumentFile(dialog.selectedFiles().first());
}

QString CMainFrame::AskSaveFileName(const LoanDocument& document) {
    QFileDialog dialog(this, QStringLiteral("Save As"), QString(), QLatin1String(kFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("brw"));
    const QString path = document.pathName();
    dialog.selectFile(path.isEmpty() ? document.title() + QStringLiteral(".brw") : path);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

bool CMainFrame::DoSaveAs(LoanDocument& document) {
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

bool CMainFrame::DoFileSave(LoanDocument& document) {
    const QString path = document.pathName();
    if (path.isEmpty()) return DoSaveAs(document);
    const QString error = document.saveTo(path);
    if (!error.isEmpty()) {
        ReportError(error);
        return false;
    }
    return true;
}

void CMainFrame::OnFileSave() {
    if (LoanDocument* document = ActiveDocument()) DoFileSave(*document);
}

void CMainFrame::OnFileSaveAs() {
    if (LoanDocument* document = ActiveDocument()) DoSaveAs(*document);
}

bool CMainFrame::SaveModified(LoanDocument& document) {
    if (!document.isModified()) return true;
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Brellow"),
        QStringLiteral("Save changes to %1?").arg(document.title()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return DoFileSave(document);
    return answer == QMessageBox::Discard;
}

bool CMainFrame::CloseDocument(LoanDocument& document) {
    if (!SaveModified(document)) return false;
    qDeleteAll(FramesOf(document));
    return true;
}

void CMainFrame::OnFileClose() {
    if (LoanDocument* document = ActiveDocument()) CloseDocument(*document);
}

bool CMainFrame::CloseAllDocuments() {
    QList<LoanDocument*> documents;
    for (CChildFrame* frame : m_frames) {
        if (!documents.contains(&frame->GetDocument())) documents.append(&frame->GetDocument());
    }
    for (LoanDocument* document : documents) {
        if (!SaveModified(*document)) return false;
    }
    qDeleteAll(QList<CChildFrame*>(m_frames));
    return true;
}

CChildFrame* CMainFrame::OnWindowNew() {
    LoanDocument* const document = ActiveDocument();
    return document ? CreateChildFrame(*document) : nullptr;
}

bool CMainFrame::CanCloseFrame(CChildFrame& frame) {
    if (FramesOf(frame.GetDocument()).size() > 1) return true;
    return SaveModified(frame.GetDocument());
}

void CMainFrame::OnChildFrameGone(CChildFrame& frame) {
    if (!m_frames.removeOne(&frame) || m_destroying) return;
    LoanDocument& document = frame.GetDocument();
    if (FramesOf(document).isEmpty()) {
        // The dying frame's view still holds a reference until it is gone.
        document.deleteLater();
    } else {
        UpdateFrameTitles(document);
    }
    UpdateActions();
}
