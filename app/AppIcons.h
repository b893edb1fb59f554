#pragma once

// Icons of the program and its toolbar: the picture of the icon theme the desktop chose,
// where it has one, otherwise a drawing of our own, so the toolbar is never blank.

#include <QIcon>

enum class ToolIcon {
    New,
    Open,
    Save,
    CopyTable,
    Print,
    About,
    ContextHelp,
    ChangeParameters,
    Options,
    ExportText,
};

QIcon ToolbarIcon(ToolIcon icon);
// The drawn icon alone, without asking the theme.
QIcon DrawnToolbarIcon(ToolIcon icon);
QIcon ProgramIcon();
