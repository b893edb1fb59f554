#pragma once

// The three display settings every schedule view follows: whether the amortization
// table is shown and the window and table background colours. The program holds one
// set for all its windows; views read it at each layout and paint, and where it is
// stored is the application's business.
//
// Colours are stored as 0x00BBGGRR integers, so red 223, green 223, blue 255 is
// 0x00FFDFDF.

#include <QColor>

#include <cstdint>

inline QColor ColorFromBgr(std::uint32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline std::uint32_t BgrFromColor(const QColor& color) {
    return std::uint32_t(color.red()) | std::uint32_t(color.green()) << 8 |
           std::uint32_t(color.blue()) << 16;
}

struct DisplaySettings {
    static constexpr std::uint32_t kDefaultWinBack = 0x00FFFFFF;
    static constexpr std::uint32_t kDefaultTableBack = 0x00FFDFDF;

    bool showTable = true;
    std::uint32_t colorWinBack = kDefaultWinBack;
    std::uint32_t colorTableBack = kDefaultTableBack;

    QColor WinBack() const { return ColorFromBgr(colorWinBack); }
    QColor TableBack() const { return ColorFromBgr(colorTableBack); }

    friend bool operator==(const DisplaySettings&, const DisplaySettings&) = default;
};
