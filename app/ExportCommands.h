#pragma once

// The commands that take a loan out of its window: the exports to a text, HTML or CSV file
// and the copy of the table to the clipboard. Each lists the year the view shows at the
// moment it runs, through the same writers as the command line, and leaves the document
// as it is.

#include "output/LoanWriters.h"

#include <QString>

class CTamsicView;
class QWidget;

// Asks for a file to export to (no filter, the format's suffix added to a name without
// one, confirmation before an existing file is replaced) and writes the loan of `view`
// there. The dialog starts in the folder of the last export to the same format and
// proposes the document's name with the format's suffix. Nothing happens when the person
// cancels.
void OnExportLoan(const CTamsicView& view, brellow::LoanFormat format, QWidget* parent);

// Writes the loan of `view` in `format` to `path` through the atomic save, so a failed
// export never leaves a truncated file where a good one was. A failure is reported above
// `parent` with the path and the system's reason: "Can not open PATH to write!" when the
// file cannot be created, "Can not write PATH!" when writing it fails. False then.
bool ExportLoanFile(const CTamsicView& view, brellow::LoanFormat format, const QString& path,
                    QWidget* parent);

// Puts the table text of the year `view` shows on the clipboard as plain text, in place of
// whatever was there.
void OnCopyTable(const CTamsicView& view);
