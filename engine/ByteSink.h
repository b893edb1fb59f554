#pragma once

// Where a writer puts its bytes: a string (the clipboard, tests), a file being saved
// atomically (FileIo.h), standard output. Writers hand over their text in chunks of a
// few tens of kilobytes, so a 400,000-row export never lives in memory whole.

#include <string>
#include <string_view>

namespace brellow {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Appends the bytes; false once the sink has failed. A failed sink takes no more
    // bytes, and its owner knows why.
    virtual bool Write(std::string_view bytes) = 0;
};

class StringSink final : public ByteSink {
public:
    bool Write(std::string_view bytes) override {
        m_text += bytes;
        return true;
    }
    std::string& Text() noexcept { return m_text; }

private:
    std::string m_text;
};

}  // namespace brellow
