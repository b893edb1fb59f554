#include "app/ExportCommands.h"

#include "engine/FileIo.h"
#include "tools/SaveFolders.h"
#include "view/CTamsicView.h"
#include "view/LoanDocument.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QString DefaultSuffix(brellow::LoanFormat format) {
    switch (format) {
        case brellow::LoanFormat::Html:
            return QStringLiteral("html");
        case brellow::LoanFormat::Csv:
            return QStringLiteral("csv");
        case brellow::LoanFormat::Text:
        case brellow::LoanFormat::Table:
            break;
    }
    return QStringLiteral("txt");
}

// A long schedule takes a moment to write; the window shows that it is busy meanwhile.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

void Report(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QStringLiteral("Brellow"), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

void OnExportLoan(const CTamsicView& view, brellow::LoanFormat format, QWidget* parent) {
    const QString suffix = DefaultSuffix(format);
    QFileDialog dialog(parent, QStringLiteral("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    StartFileDialog(dialog, suffix, NameWithSuffix(view.GetDocument().title(), suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    RememberFolder(suffix, dialog.selectedFiles().first());
    ExportLoanFile(view, format, dialog.selectedFiles().first(), parent);
}

bool ExportLoanFile(const CTamsicView& view, brellow::LoanFormat format, const QString& path,
                    QWidget* parent) {
    brellow::FileResult written;
    {
        const BusyCursor busy;
        brellow::AtomicFile file(QFile::encodeName(path).toStdString());
        brellow::WriteLoan(view.GetDocument().doc(), view.GetSelectedYear(), format, file);
        written = file.Commit();
    }
    if (written) return true;
    const QString reason = QString::fromStdString(written.reason);
    if (!written.opened) {
        Report(parent, QMessageBox::NoIcon,
               QStringLiteral("Can not open %1 to write!\n%2").arg(path, reason));
    } else {
        Report(parent, QMessageBox::Critical,
               QStringLiteral("Can not write %1!\n%2").arg(path, reason));
    }
    return false;
}

void OnCopyTable(const CTamsicView& view) {
    const BusyCursor busy;
    const std::string table = brellow::WriteLoan(view.GetDocument().doc(), view.GetSelectedYear(),
                                                 brellow::LoanFormat::Table);
    // Single-byte text, every line ending in CR LF, the last one too.
    QApplication::clipboard()->setText(
        QString::fromLatin1(table.data(), static_cast<qsizetype>(table.size())));
}
