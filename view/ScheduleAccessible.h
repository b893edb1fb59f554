#pragma once

// What assistive technology reads of a schedule view, which paints its texts itself: the
// view's children are the summary lines (static texts, left column first), the year tabs
// (YearTabsAccessible.h) and, while the table is shown, the table. The table has the six
// column heads as header cells, then one row per listed row of the selected year and the
// totals lines as its last rows, each cell's text as the view paints it. For the worked
// mortgage with the 2003 tab selected that is 12 rows, "Annual Totals:" and "Running
// Totals:": 14 rows; with "All" 360 rows and "Running Totals:".
//
// Rows are produced when a cell is read, from the document's checkpoints, never the
// whole table at once. Selecting a tab or changing the terms resets the table's cells.

// Gives CTamsicView and YearTabStrip their interfaces; the first call installs the
// factory, later calls do nothing.
void InstallScheduleAccessibility();
