#pragma once

// A sink that writes to a standard stream: standard output for a writer's bytes.

#include "engine/ByteSink.h"

#include <ostream>
#include <string_view>

namespace brellow {

class StreamSink final : public ByteSink {
public:
    explicit StreamSink(std::ostream& out) : m_out(out) {}
    // False once the stream has failed; the stream keeps its state for the caller.
    bool Write(std::string_view bytes) override {
        m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(m_out);
    }

private:
    std::ostream& m_out;
};

}  // namespace brellow
