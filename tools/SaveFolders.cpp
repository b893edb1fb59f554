#include "tools/SaveFolders.h"

#include "tools/SettingsStore.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString FolderKey(const QString& kind) {
    return QStringLiteral("Folders/") + kind;
}

QString StartFolder(const QString& kind) {
    const QString last = SettingsStore().value(FolderKey(kind)).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

}  // namespace

void StartFileDialog(QFileDialog& dialog, const QString& kind, const QString& name) {
    const QDir folder(StartFolder(kind));
    dialog.setDirectory(folder);
    if (!name.isEmpty()) dialog.selectFile(folder.filePath(name));
}

void RememberFolder(const QString& kind, const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    QSettings store = SettingsStore();
    if (store.value(FolderKey(kind)).toString() != folder) store.setValue(FolderKey(kind), folder);
}

QString NameWithSuffix(const QString& document, const QString& suffix) {
    return QFileInfo(document).completeBaseName() + QLatin1Char('.') + suffix;
}
