#pragma once

// The .brw document file: one 64-byte little-endian record, no header, no version.
//
//   offset size field
//   0      8    loan amount (double)
//   8      4    number of periods (int32)
//   12     8    annual rate in percent (double)
//   20     8    payment per period (double)
//   28     4    first payment date status: 0 valid, 1 invalid, 2 null (int32)
//   32     8    first payment date, days since 30 December 1899 (double)
//   40     4    payment frequency code (int32)
//   44     4    compound frequency code (int32)
//   48     4    balloon flag, 0 or 1 (int32)
//   52     4    balloon period (int32)
//   56     8    additional payment per period (double)
//
// The doubles at 12, 20 and 32 are unaligned: this is a byte sequence, not a struct
// image. Bytes after the 64th are ignored. A record is taken as stored (negative
// periods, unknown codes, amounts not in whole cents) unless it would make the
// program hang or compute nonsense; then it is refused with the reason.

#include "engine/CTamsicDoc.h"
#include "engine/Limits.h"

#include <array>
#include <optional>
#include <span>
#include <string>

namespace brellow {

inline constexpr std::size_t kLoanRecordSize = 64;

using LoanRecord = std::array<unsigned char, kLoanRecordSize>;

// The record of the document's terms and stored payment.
LoanRecord StoreLoanRecord(const CTamsicDoc& doc);

// Reads a record into the document: the eleven fields, then clears
// m_bParametersPending. Returns an empty text on success, else the reason the record
// is refused (the document is then left unchanged): "the file is shorter than 64
// bytes", "the loan amount is not a finite number", ...
std::string LoadLoanRecord(std::span<const unsigned char> bytes, CTamsicDoc& doc);

// Opens `path` into `doc` (path and title set, not modified). On failure returns a
// message naming the file and the reason, and leaves `doc` unchanged.
std::string ReadLoanFile(const std::string& path, CTamsicDoc& doc);

// Saves the document to `path` atomically, then sets its path and title and clears
// the modified flag. On failure returns a message naming the file and the reason; the
// document and any old file at `path` are unchanged.
std::string WriteLoanFile(const std::string& path, CTamsicDoc& doc);

// The title of a document saved at `path`: the file name.
std::string TitleFromPath(const std::string& path);

}  // namespace brellow
