#pragma once

// The buffer a writer composes into: it hands its text to the sink whenever it holds
// kChunkBytes or more, so memory stays flat however long the schedule and the sink
// writes in large pieces.
//
// Formatting the rows costs far more than computing them, so a long list of rows is
// composed in batches of kBatchRows on helper threads, one a core: this thread walks the
// schedule, hands out each batch's rows and writes the composed batches in their order.
// Each row is composed from its own values alone, so the bytes are those of composing
// row after row on one thread; while the sink waits for the disk or a reader, the
// helpers compose ahead. A list of 400,000 rows is in flight a few batches at a time.

#include "engine/ByteSink.h"
#include "engine/Schedule.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace brellow {

// Appends the text of one row. Called on several threads at once, so it may only read
// what it shares with them.
using RowComposer = std::function<void(std::string& out, const ScheduleRow& row)>;

// Writes `text` at `to` and returns its end, for rows composed in place.
inline char* PutText(char* to, std::string_view text) noexcept {
    return std::copy(text.begin(), text.end(), to);
}

class ChunkedOutput {
public:
    static constexpr std::size_t kChunkBytes = 64 * 1024;
    // Rows composed together and handed to the sink as one piece (40 to 140 KB of text).
    static constexpr int kBatchRows = 1024;

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
    // Composes every row `rows` lists after what the buffer holds, each by `compose`,
    // with `separator` between two rows, and passes the text on (the end of a short list
    // may stay in the buffer). Afterwards the totals of `rows` are complete. False once
    // the sink has failed, and nothing more is written; an exception thrown while
    // composing comes out of here once the helpers have stopped.
    bool PassRows(ScheduleGenerator& rows, const RowComposer& compose,
                  std::string_view separator = {});

private:
    ByteSink& m_sink;
    std::string m_buffer;
    bool m_ok = true;
};

}  // namespace brellow
