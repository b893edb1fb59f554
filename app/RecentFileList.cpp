#include "app/RecentFileList.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char* const kGroup = "Recent File List";

QString KeyOf(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}

QString Absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

void RecentFileList::Load(QSettings& store) {
    m_files.clear();
    store.beginGroup(QLatin1String(kGroup));
    for (int i = 0; i < kSize; ++i) {
        const QString path = store.value(KeyOf(i)).toString();
        if (!path.isEmpty() && !m_files.contains(path)) m_files.append(path);
    }
    store.endGroup();
}

void RecentFileList::Save(QSettings& store) const {
    store.beginGroup(QLatin1String(kGroup));
    for (int i = 0; i < kSize; ++i) {
        const QString key = KeyOf(i);
        if (i < m_files.size()) {
            if (store.value(key).toString() != m_files[i]) store.setValue(key, m_files[i]);
        } else if (store.contains(key)) {
            store.remove(key);
        }
    }
    store.endGroup();
}

void RecentFileList::Add(const QString& path) {
    const QString absolute = Absolute(path);
    m_files.removeAll(absolute);
    m_files.prepend(absolute);
    while (m_files.size() > kSize) m_files.removeLast();
}

void RecentFileList::Remove(const QString& path) {
    m_files.removeAll(path);
    m_files.removeAll(Absolute(path));
}
