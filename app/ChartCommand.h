#pragma once

// Charts from the command line, without a window or a display:
//   brellow --chart payment|total|balance --output OUT.png|OUT.svg [--size WxH] FILE.brw
// draws the chart the Charts menu shows for the loan in FILE.brw and saves it as Save Image
// As does (the old file stays whole when writing fails; links, pipes and devices are written
// through). The picture is the chart window's, or WxH pixels: a line chart's plot grows with
// the size, the pie is scaled to fit; a size smaller than the window's is refused.
//   brellow --chart balance --output balance.svg --size 1200x600 mortgage.brw

#include <QString>
#include <QStringList>

#include <optional>

struct ChartCommandFailure {
    int status = 1;  // 2 for a command line that is not understood, 1 for a file problem
    QString message;
};

// Runs the command; `operands` are the arguments after --chart. Nothing on success.
std::optional<ChartCommandFailure> DrawChartFromCommandLine(const QStringList& operands);
