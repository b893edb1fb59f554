#include "engine/LoanTerms.h"

#include <array>

namespace brellow {
namespace {

constexpr std::array<std::string_view, kPaymentFrequencyCount> kPaymentNames = {
    "Weekly", "BiWeekly", "Monthly", "BiMonthly", "Quarterly", "SemiAnnually", "Annually"};

constexpr std::array<std::string_view, kCompoundFrequencyCount> kCompoundNames = {
    "Daily",     "Weekly",       "BiWeekly", "Monthly",   "BiMonthly",
    "Quarterly", "SemiAnnually", "Annually", "Continuous"};

template <std::size_t N>
int CodeOf(const std::array<std::string_view, N>& names, std::string_view name, int fallback) {
    for (std::size_t code = 0; code < N; ++code) {
        if (names[code] == name) return static_cast<int>(code);
    }
    return fallback;
}

template <std::size_t N>
std::string NameOf(const std::array<std::string_view, N>& names, int code) {
    if (code < 0 || code >= static_cast<int>(N)) return "Unknown";
    return std::string(names[static_cast<std::size_t>(code)]);
}

}  // namespace

int PaymentFrequencyFromName(std::string_view name) noexcept {
    return CodeOf(kPaymentNames, name, static_cast<int>(PaymentFrequency::Monthly));
}

int CompoundFrequencyFromName(std::string_view name) noexcept {
    return CodeOf(kCompoundNames, name, static_cast<int>(CompoundFrequency::Monthly));
}

std::string PaymentFrequencyName(int code) {
    return NameOf(kPaymentNames, code);
}

std::string CompoundFrequencyName(int code) {
    return NameOf(kCompoundNames, code);
}

}  // namespace brellow
