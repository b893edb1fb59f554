#pragma once

// Runs brellow-cli: reads and checks the loan, writes the chosen format, or prints the
// refinance advice. `in` is standard input, read for "--open -". Messages go to `err` as
// "brellow-cli: ..." lines.

#include "cli/CliOptions.h"
#include "engine/OleDateTime.h"

#include <iosfwd>
#include <span>
#include <string>

namespace brellow {
class CTamsicDoc;
}

namespace brellow::cli {

// Stores the terms given in `doc` through its setters; the others stay as they are.
void StoreOverrides(CTamsicDoc& doc, const TermsOverrides& given);

inline constexpr int kExitSuccess = 0;
// A file could not be read or written, or was refused.
inline constexpr int kExitFileError = 1;
// A usage error, or terms the program refuses to compute.
inline constexpr int kExitUsageError = 2;

// `now` decides the default first payment date of a loan given without one.
int RunCli(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err,
           const OleDateTime& now);

// Parses `args` (without the program name) and runs them.
int RunCliArguments(std::span<const std::string> args, std::istream& in, std::ostream& out,
                    std::ostream& err, const OleDateTime& now = OleDateTime::CurrentLocal());

}  // namespace brellow::cli
