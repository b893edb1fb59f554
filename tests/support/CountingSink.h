#pragma once

// A sink for tests of streaming writers: counts the chunks and bytes it is handed, and
// fails from the chunk `failAfter` on when that is not 0.

#include "engine/ByteSink.h"

#include <cstddef>
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

}  // namespace brellow::test
