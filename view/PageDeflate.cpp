#include "view/PageDeflate.h"

#include <zlib.h>

#include <atomic>

namespace {

// The level deflateInit's default stands for; prints run on one thread, but Qt may
// deflate on others meanwhile.
std::atomic<int> g_defaultLevel{Z_DEFAULT_COMPRESSION};

}  // namespace

FastPageDeflate::FastPageDeflate() noexcept
    : m_previous(g_defaultLevel.exchange(kLevel, std::memory_order_relaxed)) {}

FastPageDeflate::~FastPageDeflate() {
    g_defaultLevel.store(m_previous, std::memory_order_relaxed);
}

// zlib's own deflateInit_ with the default level replaced: window, memory level and
// strategy are zlib's defaults, as there.
extern "C" __attribute__((visibility("default"))) int deflateInit_(z_streamp stream, int level,
                                                                   const char* version,
                                                                   int streamSize) {
    if (level == Z_DEFAULT_COMPRESSION) level = g_defaultLevel.load(std::memory_order_relaxed);
    return deflateInit2_(stream, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY, version,
                         streamSize);
}
