#pragma once

// Where a printout goes: a printer of the system, a PDF file, the print dialog and the print
// preview. A PDF file, whether named in the print dialog or on the command line, is written
// like a saved document: the old file is replaced only once the new one is complete.
//
// A page range chosen in the print dialog selects pages of the printout; a preview always
// shows every page.

#include <QPageRanges>
#include <QString>

class LoanPrinter;
class QPageLayout;
class QPrinter;
class QWidget;

// Prints on `printer`, or writes its output file when its output format is PDF: the pages of
// its page range, every page when it has none. Returns an empty text on success, else a
// message that names the printer or the file and says what failed.
QString PrintOn(const LoanPrinter& loan, QPrinter& printer);

// Writes the printout to the PDF file `path` with pages of `layout` at `resolution` dots per
// inch. Returns an empty text on success, else a message naming the file and the reason.
QString PrintToPdf(const LoanPrinter& loan, const QString& path, const QPageLayout& layout,
                   int resolution, const QPageRanges& pages = {});

// The print dialog, told how many pages the printout takes on the printer's paper, then the
// printout; a failure is shown in a message box. False when cancelled or failed.
bool PrintWithDialog(const LoanPrinter& loan, QPrinter& printer, QWidget* parent);

// The print preview of the pages as they print on `printer`, `pagesSideBySide` (1 or 2) at a
// time; its Print button prints them. Returns how many pages it showed side by side when it
// closed: 1 or 2, or `pagesSideBySide` when the person left it showing all pages.
int PreviewWithDialog(const LoanPrinter& loan, QPrinter& printer, int pagesSideBySide,
                      QWidget* parent);
