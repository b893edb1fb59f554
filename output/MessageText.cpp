#include "output/MessageText.h"

namespace brellow {

namespace {

void AppendHexEscape(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xf];
}

// Length of the UTF-8 sequence that starts at `text[0]`, 0 when none does.
std::size_t Utf8Length(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xc2 && lead <= 0xdf   ? 2
                               : lead >= 0xe0 && lead <= 0xef ? 3
                               : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                              : 0;
    if (length == 0 || text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80) return 0;
    }
    return length;
}

}  // namespace

std::string EscapeControlCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        std::size_t length = 1;
        if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            AppendHexEscape(out, byte);
        } else if (byte < 0x80) {
            out += text[0];
        } else {
            const std::size_t sequence = Utf8Length(text);
            const bool c1 =
                byte == 0xc2 && sequence == 2 && static_cast<unsigned char>(text[1]) < 0xa0;
            length = sequence == 0 ? 1 : sequence;
            if (sequence == 0 || c1) {
                // Not UTF-8, or a C1 control: each byte as its escape.
                for (std::size_t i = 0; i < length; ++i) {
                    AppendHexEscape(out, static_cast<unsigned char>(text[i]));
                }
            } else {
                out.append(text.substr(0, length));
            }
        }
        text.remove_prefix(length);
    }
    return out;
}

}  // namespace brellow
