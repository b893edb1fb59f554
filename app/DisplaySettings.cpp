#include "app/DisplaySettings.h"

#include <QSettings>

namespace {

const char* const kShowTableKey = "ShowTable";
const char* const kWinBackKey = "ColorWinBack";
const char* const kTableBackKey = "ColorTableBack";

// A stored 32-bit value: an integer in the signed or unsigned 32-bit range. Anything
// else (text, a fraction, an out-of-range number) is replaced by the default.
std::uint32_t ReadValue(QSettings& store, const char* key, std::uint32_t fallback) {
    const QVariant stored = store.value(QLatin1String(key));
    bool ok = false;
    const qlonglong value = stored.toString().trimmed().toLongLong(&ok);
    if (stored.isValid() && ok && value >= INT32_MIN && value <= UINT32_MAX) {
        return static_cast<std::uint32_t>(value);
    }
    store.setValue(QLatin1String(key), qulonglong(fallback));
    return fallback;
}

}  // namespace

DisplaySettings LoadDisplaySettings(QSettings& store) {
    DisplaySettings settings;
    settings.showTable = ReadValue(store, kShowTableKey, 1) == 1;
    settings.colorWinBack = ReadValue(store, kWinBackKey, DisplaySettings::kDefaultWinBack);
    settings.colorTableBack = ReadValue(store, kTableBackKey, DisplaySettings::kDefaultTableBack);
    return settings;
}

void SaveDisplaySettings(QSettings& store, const DisplaySettings& settings) {
    store.setValue(QLatin1String(kShowTableKey), settings.showTable ? 1 : 0);
    store.setValue(QLatin1String(kWinBackKey), qulonglong(settings.colorWinBack));
    store.setValue(QLatin1String(kTableBackKey), qulonglong(settings.colorTableBack));
}
