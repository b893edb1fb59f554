#pragma once

// Qt's PDF writer deflates every page at zlib's default level, which took more than half the
// time of a long print. While a FastPageDeflate exists, that default is taken as level 3:
// the pages of a long loan deflate about three times as fast into a file about a fifth
// larger. Streams that ask for a level of their own keep it.
//
// The program stands in for zlib's deflateInit_ (the call behind deflateInit) to do this.
// Where Qt carries its own copy of zlib the stand-in is never called, and prints keep the
// default level: slower, the same pages.

class FastPageDeflate {
public:
    static constexpr int kLevel = 3;

    FastPageDeflate() noexcept;
    ~FastPageDeflate();
    FastPageDeflate(const FastPageDeflate&) = delete;
    FastPageDeflate& operator=(const FastPageDeflate&) = delete;

private:
    int m_previous;
};
