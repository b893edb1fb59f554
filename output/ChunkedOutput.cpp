#include "output/ChunkedOutput.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace brellow {

namespace {

// Below this many rows the threads would cost more than they save.
constexpr int kParallelRows = 4 * ChunkedOutput::kBatchRows;
constexpr unsigned kMaxHelpers = 3;

struct Batch {
    std::vector<ScheduleRow> rows;
    std::string text;
    bool composed = false;
    std::exception_ptr error;  // what composing threw
};

// Batches go round a ring: this thread fills a written one with the next rows, whichever
// thread is free composes it, and this thread writes it. The rows and text of a batch
// belong to the thread at that stage; the handing over is under the mutex.
class BatchPipeline {
public:
    BatchPipeline(const RowComposer& compose, std::string_view separator)
        : m_compose(compose), m_separator(separator) {
        // This thread composes as well, whenever it has nothing to write.
        const unsigned cores = std::thread::hardware_concurrency();
        const unsigned helpers = std::min(cores > 1 ? cores - 1 : 0, kMaxHelpers);
        // Deep enough that the helpers seldom wait for this thread to be scheduled.
        m_batches.resize(kBatchesPerThread * (helpers + 1));
        m_helpers.reserve(helpers);
        for (unsigned i = 0; i < helpers; ++i) {
            try {
                m_helpers.emplace_back(&BatchPipeline::Help, this);
            } catch (const std::system_error&) {
                break;  // fewer helpers, or none: the caller composes alone
            }
        }
    }

    ~BatchPipeline() {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_work.notify_all();
        for (std::thread& helper : m_helpers) helper.join();
    }

    BatchPipeline(const BatchPipeline&) = delete;
    BatchPipeline& operator=(const BatchPipeline&) = delete;

    bool HasHelpers() const noexcept { return !m_helpers.empty(); }

    // Writes the composed batches of every row `rows` lists; false once the sink fails.
    bool Run(ScheduleGenerator& rows, ByteSink& sink) {
        std::size_t written = 0;
        bool exhausted = false;
        for (;;) {
            if (!exhausted && m_filled - written < m_batches.size()) {
                exhausted = !Fill(m_batches[m_filled % m_batches.size()], rows);
                continue;
            }
            if (written == m_filled) return true;
            Batch& oldest = m_batches[written % m_batches.size()];
            std::unique_lock lock(m_mutex);
            if (!oldest.composed && m_taken < m_filled) {
                ComposeNext(lock);
                continue;
            }
            m_composed.wait(lock, [&] { return oldest.composed; });
            lock.unlock();
            if (oldest.error) std::rethrow_exception(oldest.error);
            if (!sink.Write(oldest.text)) return false;
            ++written;
        }
    }

private:
    static constexpr unsigned kBatchesPerThread = 4;

    // Takes up to kBatchRows rows into a batch that has been written and hands it out;
    // false once the list is done.
    bool Fill(Batch& batch, ScheduleGenerator& rows) {
        batch.rows.clear();
        ScheduleRow row;
        while (batch.rows.size() < ChunkedOutput::kBatchRows && rows.Next(row)) {
            batch.rows.push_back(row);
        }
        if (batch.rows.empty()) return false;
        const bool full = batch.rows.size() == ChunkedOutput::kBatchRows;
        {
            const std::lock_guard lock(m_mutex);
            batch.composed = false;
            ++m_filled;
        }
        m_work.notify_one();
        return full;
    }

    void Help() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_work.wait(lock, [&] { return m_stop || m_taken < m_filled; });
            if (m_stop) return;
            ComposeNext(lock);
        }
    }

    // Composes the first batch nobody has begun; called with the lock held, which is
    // released meanwhile.
    void ComposeNext(std::unique_lock<std::mutex>& lock) {
        const std::size_t number = m_taken++;
        Batch& batch = m_batches[number % m_batches.size()];
        lock.unlock();
        Compose(batch, number == 0);
        lock.lock();
        batch.composed = true;
        m_composed.notify_one();
    }

    void Compose(Batch& batch, bool listStarts) const noexcept {
        batch.text.clear();
        batch.error = nullptr;
        try {
            for (const ScheduleRow& row : batch.rows) {
                if (!listStarts) batch.text += m_separator;
                listStarts = false;
                m_compose(batch.text, row);
            }
        } catch (...) {
            batch.error = std::current_exception();
        }
    }

    const RowComposer& m_compose;
    const std::string_view m_separator;
    std::vector<Batch> m_batches;
    std::vector<std::thread> m_helpers;
    std::mutex m_mutex;
    std::condition_variable m_work;      // a batch to compose, or stop
    std::condition_variable m_composed;  // a batch composed
    std::size_t m_filled = 0;  // batches handed out, in order; changed by Run's thread only
    std::size_t m_taken = 0;   // batches whose composing has begun
    bool m_stop = false;
};

}  // namespace

bool ChunkedOutput::PassRows(ScheduleGenerator& rows, const RowComposer& compose,
                             std::string_view separator) {
    if (rows.ListedRows() >= kParallelRows) {
        BatchPipeline pipeline(compose, separator);
        if (pipeline.HasHelpers()) {
            m_ok = Flush() && pipeline.Run(rows, m_sink);
            return m_ok;
        }
    }
    ScheduleRow row;
    for (bool first = true; rows.Next(row); first = false) {
        if (!first) m_buffer += separator;
        compose(m_buffer, row);
        if (!Pass()) return false;
    }
    return m_ok;
}

}  // namespace brellow
