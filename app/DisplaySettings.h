#pragma once

// The three display settings every schedule view follows: whether the amortization
// table is shown and the window and table background colours. The main frame holds
// one set for the whole program; views read it at each layout and paint.
//
// Colours are stored as 0x00BBGGRR integers, so red 223, green 223, blue 255 is
// 0x00FFDFDF. The stored "ShowTable" counts as on only when it is exactly 1.

#include <QColor>

#include <cstdint>

class QSettings;

struct DisplaySettings {
    static constexpr std::uint32_t kDefaultWinBack = 0x00FFFFFF;
    static constexpr std::uint32_t kDefaultTableBack = 0x00FFDFDF;

    bool showTable = true;
    std::uint32_t colorWinBack = kDefaultWinBack;
    std::uint32_t colorTableBack = kDefaultTableBack;

    QColor WinBack() const;
    QColor TableBack() const;

    friend bool operator==(const DisplaySettings&, const DisplaySettings&) = default;
};

QColor ColorFromBgr(std::uint32_t bgr);
std::uint32_t BgrFromColor(const QColor& color);

// The settings in `store`; a value that is absent or not a number is replaced by its
// default, which is written back.
DisplaySettings LoadDisplaySettings(QSettings& store);
void SaveDisplaySettings(QSettings& store, const DisplaySettings& settings);
