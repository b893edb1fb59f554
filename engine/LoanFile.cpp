#include "engine/LoanFile.h"

#include "engine/FileIo.h"
#include "engine/Schedule.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace brellow {
namespace {

void PutU32(LoanRecord& record, std::size_t offset, std::uint32_t value) {
    for (int b = 0; b < 4; ++b) record[offset + b] = static_cast<unsigned char>(value >> (8 * b));
}
void PutU64(LoanRecord& record, std::size_t offset, std::uint64_t value) {
    for (int b = 0; b < 8; ++b) record[offset + b] = static_cast<unsigned char>(value >> (8 * b));
}
void PutInt(LoanRecord& record, std::size_t offset, std::int32_t value) {
    PutU32(record, offset, static_cast<std::uint32_t>(value));
}
void PutDouble(LoanRecord& record, std::size_t offset, double value) {
    PutU64(record, offset, std::bit_cast<std::uint64_t>(value));
}

std::int32_t GetInt(std::span<const unsigned char> bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int b = 3; b >= 0; --b) value = (value << 8) | bytes[offset + b];
    return static_cast<std::int32_t>(value);
}
double GetDouble(std::span<const unsigned char> bytes, std::size_t offset) {
    std::uint64_t value = 0;
    for (int b = 7; b >= 0; --b) value = (value << 8) | bytes[offset + b];
    return std::bit_cast<double>(value);
}

OleDateTime::Status StatusFromCode(std::int32_t code) {
    switch (code) {
        case 0:
            return OleDateTime::Status::Valid;
        case 2:
            return OleDateTime::Status::Null;
        default:
            return OleDateTime::Status::Invalid;
    }
}

}  // namespace

LoanRecord StoreLoanRecord(const CTamsicDoc& doc) {
    LoanRecord record{};
    const LoanTerms terms = doc.GetTerms();
    PutDouble(record, 0, terms.loanAmount);
    PutInt(record, 8, terms.numPeriods);
    PutDouble(record, 12, terms.interestRate);
    PutDouble(record, 20, doc.GetPayment());
    PutInt(record, 28, static_cast<std::int32_t>(terms.firstPayment.GetStatus()));
    PutDouble(record, 32, terms.firstPayment.Value());
    PutInt(record, 40, terms.paymentFrequency);
    PutInt(record, 44, terms.compoundFrequency);
    PutInt(record, 48, terms.balloon ? 1 : 0);
    PutInt(record, 52, terms.balloonPeriod);
    PutDouble(record, 56, terms.additionalPayment);
    return record;
}

std::string LoadLoanRecord(std::span<const unsigned char> bytes, CTamsicDoc& doc) {
    if (bytes.size() < kLoanRecordSize) return "the file is shorter than 64 bytes";

    const LoanTerms terms{
        .loanAmount = GetDouble(bytes, 0),
        .numPeriods = GetInt(bytes, 8),
        .interestRate = GetDouble(bytes, 12),
        .firstPayment = OleDateTime(GetDouble(bytes, 32), StatusFromCode(GetInt(bytes, 28))),
        .paymentFrequency = GetInt(bytes, 40),
        .compoundFrequency = GetInt(bytes, 44),
        .balloon = GetInt(bytes, 48) != 0,
        .balloonPeriod = GetInt(bytes, 52),
        .additionalPayment = GetDouble(bytes, 56),
    };
    CTamsicDoc loaded = doc;
    loaded.RestoreTerms(terms);
    loaded.m_dPayment = GetDouble(bytes, 20);

    if (!std::isfinite(terms.loanAmount)) return "the loan amount is not a finite number";
    if (!std::isfinite(terms.interestRate)) return "the interest rate is not a finite number";
    if (!std::isfinite(loaded.m_dPayment)) return "the payment is not a finite number";
    if (!std::isfinite(terms.additionalPayment)) {
        return "the additional payment is not a finite number";
    }
    if (terms.numPeriods > kMaxPeriods) return "the number of periods is above 1,000,000";
    if (terms.balloonPeriod > kMaxPeriods) return "the balloon period is above 1,000,000";
    const OleDateTime first = terms.firstPayment;
    if (first.GetStatus() == OleDateTime::Status::Valid && !first.HasCalendarDate()) {
        return "the first payment date is outside 01/01/100 to 12/31/9999";
    }
    // The schedule is counted with the payment the view will compute, not the stored one.
    CTamsicDoc computed = loaded;
    computed.ComputePayment();
    if (!ScheduleFitsCalendar(computed)) return "the last payment would fall after 12/31/9999";
    if (!ScheduleWithinCentLimit(computed)) {
        return "the schedule's amounts would exceed what can be shown to the cent";
    }

    loaded.m_bParametersPending = false;
    doc = loaded;
    return {};
}

std::string TitleFromPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadLoanFile(const std::string& path, CTamsicDoc& doc) {
    std::string bytes;
    const FileResult read = ReadFilePrefix(path, kLoanRecordSize, bytes);
    if (!read) return "Cannot open " + path + ": " + read.reason + ".";
    const std::string refused = LoadLoanRecord(
        std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), doc);
    if (!refused.empty()) return "Cannot open " + path + ": " + refused + ".";
    doc.SetPathName(path);
    doc.SetTitle(TitleFromPath(path));
    doc.SetModifiedFlag(false);
    return {};
}

std::string WriteLoanFile(const std::string& path, CTamsicDoc& doc) {
    const LoanRecord record = StoreLoanRecord(doc);
    const FileResult written = WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(record.data()), record.size()));
    if (!written) return "Cannot save " + path + ": " + written.reason + ".";
    doc.SetPathName(path);
    doc.SetTitle(TitleFromPath(path));
    doc.SetModifiedFlag(false);
    return {};
}

}  // namespace brellow
