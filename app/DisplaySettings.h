#pragma once

// Where the display settings (view/DisplaySettings.h) are kept between runs: the
// main frame loads them on start and saves them on exit. The stored "ShowTable" counts
// as on only when it is exactly 1. Beside them, under "Settings", "PreviewPages": how many
// pages the print preview shows side by side, 1 or 2.

#include "view/DisplaySettings.h"

#include <QRect>

class QSettings;

// The settings in `store`; a value that is absent or not a number is replaced by its
// default, which is written back.
DisplaySettings LoadDisplaySettings(QSettings& store);
// Sets only the values that differ from those in `store` ("ShowTable" 2 becomes 0).
void SaveDisplaySettings(QSettings& store, const DisplaySettings& settings);

// The stored number of pages the print preview shows side by side: 2 when "PreviewPages" is 2,
// else 1. Writes nothing.
int LoadPreviewPages(const QSettings& store);
// Sets "PreviewPages" only when `pages` differs from what LoadPreviewPages gives.
void SavePreviewPages(QSettings& store, int pages);

// The main window's place between runs, under "Window": its geometry when neither maximised
// nor minimised (without the window manager's frame) and whether it was maximised.
struct WindowPlacement {
    QRect normal;  // not valid when none is stored or the stored one cannot be a window's
    bool maximized = false;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// The stored placement; a size that is not between 1 and 65536 pixels each way counts as none.
// Writes nothing.
WindowPlacement LoadWindowPlacement(const QSettings& store);
// Sets only the values that differ from those in `store`.
void SaveWindowPlacement(QSettings& store, const WindowPlacement& placement);
