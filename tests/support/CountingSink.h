#pragma once

// For tests of streaming writers: a sink that counts the chunks and bytes it is handed,
// and fails from the chunk `failAfter` on when that is not 0; a comparison of long texts.

#include "engine/ByteSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace brellow::test {

struct CountingSink final : ByteSink {
    std::size_t writes = 0;
    std::size_t bytes = 0;
    std::size_t failAfter = 0;

    bool Write(std::string_view chunk) override {
        ++writes;
        bytes += chunk.size();
        return failAfter == 0 || writes < failAfter;
    }
};

// EXPECT_PRED_FORMAT2(SameText, expected, actual) for texts of megabytes: a failure shows
// where they part instead of a diff of the whole.
inline testing::AssertionResult SameText(const char*, const char*, const std::string& expected,
                                         const std::string& actual) {
    if (expected == actual) return testing::AssertionSuccess();
    const auto at = static_cast<std::size_t>(
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
        expected.begin());
    return testing::AssertionFailure()
           << "the texts part at byte " << at << " (sizes " << expected.size() << " and "
           << actual.size() << "): \"" << expected.substr(at, 60) << "\" against \""
           << actual.substr(at, 60) << '"';
}

}  // namespace brellow::test
