#pragma once

// The four most recently opened or saved documents, newest first, kept per user under
// "Recent File List/File1".."File4".

#include <QStringList>

class QSettings;

class RecentFileList {
public:
    static constexpr int kSize = 4;

    void Load(QSettings& store);
    // Sets only the entries that differ from those in `store`.
    void Save(QSettings& store) const;

    // Puts `path` (made absolute) in front, dropping an older entry for the same file.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Files() const noexcept { return m_files; }
    QString First() const { return m_files.value(0); }

private:
    QStringList m_files;
};
