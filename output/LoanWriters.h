#pragma once

// The texts a loan is written as. Each writer takes the document and the year listed
// (kAllYears, or a calendar year as the view's selected tab gives it) and writes the
// exact bytes to a sink in chunks, so memory stays flat however long the schedule; the
// caller owns the file, the clipboard and their errors. Every line ends in CR LF.
//
// Text: the summary lines, an empty line, then the table: the heads "Period Date
// Payment Interest Principal Balance", one line per listed row, "Annual Totals:" (only
// for a single year) and "Running Totals:", fields separated by one tab, the totals
// lines with two tabs after their label so the sums stand under Payment, Interest and
// Principal.
// HTML: the same content as a page with an H1, <br> lines and a table.
// Table text (the clipboard copy): the table part of the text, from the heads on.
// CSV: header "Period,Date,Payment,Interest,Principal,Balance", one line per listed
// row, ISO dates, plain amounts with two decimals, no totals.

#include "engine/ByteSink.h"
#include "engine/CTamsicDoc.h"

#include <string>

namespace brellow {

enum class LoanFormat { Text, Html, Table, Csv };

// Writes the loan in `format` to `sink`; false as soon as the sink fails (the rest is
// not composed).
bool WriteLoan(const CTamsicDoc& doc, int year, LoanFormat format, ByteSink& sink);
// The same bytes as one string.
std::string WriteLoan(const CTamsicDoc& doc, int year, LoanFormat format);

std::string WriteLoanText(const CTamsicDoc& doc, int year);
std::string WriteLoanHtml(const CTamsicDoc& doc, int year);
std::string WriteTableText(const CTamsicDoc& doc, int year);
std::string WriteScheduleCsv(const CTamsicDoc& doc, int year);

}  // namespace brellow
