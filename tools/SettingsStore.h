#pragma once

// The per-user store of the program's settings: ~/.config/Korvell/Brellow.conf, under
// XDG_CONFIG_HOME when that is set.
//
// QSettings rewrites and syncs its whole file when any value has been set or removed,
// even to what the file already holds; so a value is set only when it differs.

#include <QSettings>

inline QSettings SettingsStore() {
    return QSettings(QStringLiteral("Korvell"), QStringLiteral("Brellow"));
}
