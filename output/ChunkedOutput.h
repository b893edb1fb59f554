#pragma once

// The buffer a writer composes into: it hands its text to the sink whenever it holds
// kChunkBytes or more, so memory stays flat however long the schedule and the sink
// writes in large pieces.

#include "engine/ByteSink.h"

#include <cstddef>
#include <string>

namespace brellow {

class ChunkedOutput {
public:
    static constexpr std::size_t kChunkBytes = 64 * 1024;

    explicit ChunkedOutput(ByteSink& sink) : m_sink(sink) { m_buffer.reserve(2 * kChunkBytes); }

    std::string& Buffer() noexcept { return m_buffer; }
    // Passes a full buffer on; false once the sink has failed.
    bool Pass() { return m_buffer.size() < kChunkBytes ? m_ok : Flush(); }
    // Passes whatever the buffer holds on; false once the sink has failed.
    bool Flush() {
        m_ok = m_ok && m_sink.Write(m_buffer);
        m_buffer.clear();
        return m_ok;
    }

private:
    ByteSink& m_sink;
    std::string m_buffer;
    bool m_ok = true;
};

}  // namespace brellow
