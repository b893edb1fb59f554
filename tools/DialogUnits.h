#pragma once

// Dialogs whose layout is given in dialog units, turned into pixels with the base units of
// an 8-point dialog font at 96 dots an inch: 6 pixels to 4 units across, 13 pixels to 8
// units down, rounded. The chart dialogs need this: their pictures sit at fixed pixel positions,
// and a 493 × 228 dialog (740 × 371 pixels) leaves room under the payment chart's base line at y =
// 300 for its axis labels whatever font the desktop uses.

#include <QRect>

inline QRect DialogUnitsToPixels(const QRect& units) {
    const auto across = [](int x) { return (x * 6 + 2) / 4; };
    const auto down = [](int y) { return (y * 13 + 4) / 8; };
    return {across(units.x()), down(units.y()), across(units.width()), down(units.height())};
}
