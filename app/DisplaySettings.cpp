#include "app/DisplaySettings.h"

#include <QSettings>

#include <optional>

namespace {

const char* const kShowTableKey = "ShowTable";
const char* const kWinBackKey = "ColorWinBack";
const char* const kTableBackKey = "ColorTableBack";
const char* const kPreviewPagesKey = "Settings/PreviewPages";

// A stored 32-bit value: an integer in the signed or unsigned 32-bit range. Anything
// else (text, a fraction, an out-of-range number) counts as no value.
std::optional<std::uint32_t> StoredValue(const QSettings& store, const char* key) {
    const QVariant stored = store.value(QLatin1String(key));
    bool ok = false;
    const qlonglong value = stored.toString().trimmed().toLongLong(&ok);
    if (stored.isValid() && ok && value >= INT32_MIN && value <= UINT32_MAX) {
        return static_cast<std::uint32_t>(value);
    }
    return std::nullopt;
}

// The stored value, or `fallback`, which is then written in its place.
std::uint32_t ReadValue(QSettings& store, const char* key, std::uint32_t fallback) {
    if (const auto value = StoredValue(store, key)) return *value;
    store.setValue(QLatin1String(key), qulonglong(fallback));
    return fallback;
}

void WriteValue(QSettings& store, const char* key, std::uint32_t value) {
    if (StoredValue(store, key) != value) store.setValue(QLatin1String(key), qulonglong(value));
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
    WriteValue(store, kShowTableKey, settings.showTable ? 1 : 0);
    WriteValue(store, kWinBackKey, settings.colorWinBack);
    WriteValue(store, kTableBackKey, settings.colorTableBack);
}

int LoadPreviewPages(const QSettings& store) {
    return StoredValue(store, kPreviewPagesKey) == 2u ? 2 : 1;
}

void SavePreviewPages(QSettings& store, int pages) {
    if (LoadPreviewPages(store) != pages) store.setValue(QLatin1String(kPreviewPagesKey), pages);
}
