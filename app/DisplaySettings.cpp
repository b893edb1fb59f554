#include "app/DisplaySettings.h"

#include <QSettings>

#include <optional>

namespace {

const char* const kShowTableKey = "ShowTable";
const char* const kWinBackKey = "ColorWinBack";
const char* const kTableBackKey = "ColorTableBack";
const char* const kPreviewPagesKey = "Settings/PreviewPages";
const char* const kGeometryKey = "Window/Geometry";
const char* const kMaximizedKey = "Window/Maximized";
constexpr int kLargestWindow = 65536;

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

WindowPlacement LoadWindowPlacement(const QSettings& store) {
    WindowPlacement placement;
    const QRect normal = store.value(QLatin1String(kGeometryKey)).toRect();
    if (normal.width() >= 1 && normal.width() <= kLargestWindow && normal.height() >= 1 &&
        normal.height() <= kLargestWindow) {
        placement.normal = normal;
    }
    placement.maximized = store.value(QLatin1String(kMaximizedKey)).toBool();
    return placement;
}

void SaveWindowPlacement(QSettings& store, const WindowPlacement& placement) {
    if (store.value(QLatin1String(kGeometryKey)).toRect() != placement.normal)
        store.setValue(QLatin1String(kGeometryKey), placement.normal);
    if (!store.contains(QLatin1String(kMaximizedKey)) ||
        store.value(QLatin1String(kMaximizedKey)).toBool() != placement.maximized) {
        store.setValue(QLatin1String(kMaximizedKey), placement.maximized);
    }
}
