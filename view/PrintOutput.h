#pragma once

// Where a printout goes: a printer of the system, a PDF file, the print dialog and the print
// preview. A PDF file, whether named in the print dialog or on the command line, is written
// like a saved document: the old file is replaced only once the new one is complete.
//
// A page range chosen in the print dialog selects pages of the printout; a preview always
// shows every page.
//
// A long printout goes page by page: the caller hears of each page before it is drawn and
// may stop the print there. A stopped print leaves no PDF file behind (nor its temporary
// file; an old file stays as it was) and aborts a printer's job.

#include <QPageRanges>
#include <QString>

#include <functional>

class LoanPrinter;
class QPageLayout;
namespace brellow {
class ByteSink;
}
class QPrinter;
class QWidget;

// Called before each page a print draws with the page's number in the printout, how many
// pages the print has drawn and how many it draws in all. False stops the print.
using PrintProgress = std::function<bool(int page, int done, int total)>;

// Prints on `printer`, or writes its output file when its output format is PDF: the pages of
// its page range, every page when it has none. Returns an empty text on success or when
// `progress` stopped it, else a message that names the printer or the file and says what
// failed.
QString PrintOn(const LoanPrinter& loan, QPrinter& printer, const PrintProgress& progress = {});

// Writes the printout to the PDF file `path` with pages of `layout` at `resolution` dots per
// inch. Returns an empty text on success or when `progress` stopped it, else a message naming
// the file and the reason.
QString PrintToPdf(const LoanPrinter& loan, const QString& path, const QPageLayout& layout,
                   int resolution, const QPageRanges& pages = {},
                   const PrintProgress& progress = {});
// The same, every page, into `sink` as it is made (standard output); `name` stands for the
// sink in the message.
QString PrintToPdf(const LoanPrinter& loan, brellow::ByteSink& sink, const QString& name,
                   const QPageLayout& layout, int resolution, const PrintProgress& progress = {});

// The print dialog, told how many pages the printout takes on the printer's paper, then the
// printout with a progress dialog that names the page and can cancel it; the windows keep
// repainting meanwhile. A failure is shown in a message box. False when cancelled or failed.
bool PrintWithDialog(const LoanPrinter& loan, QPrinter& printer, QWidget* parent);

// The print preview of the pages as they print on `printer`, `pagesSideBySide` (1 or 2) at a
// time; its Print button closes it and prints them as PrintWithDialog does. Returns how many
// pages it showed side by side when it closed.
int PreviewWithDialog(const LoanPrinter& loan, QPrinter& printer, int pagesSideBySide,
                      QWidget* parent);
