#include "utf8_codec.h"

namespace utf8 {

namespace {

constexpr bool kWideUnitsAre16Bits = sizeof(wchar_t) == 2;

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

void appendEncoded(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed sequence at bytes[i] and its value, or 0 when
// none starts there.
std::size_t sequenceAt(std::string_view bytes, std::size_t i, char32_t& value) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
        value = lead;
        return 1;
    }
    const std::size_t length = (lead & 0xE0) == 0xC0   ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    if (length == 0 || bytes.size() - i < length) return 0;
    char32_t c = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        c = (c << 6) | (next & 0x3F);
    }
    // Below the least value of its length the form is overlong.
    const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (c < least || c > 0x10FFFF || isSurrogate(c)) return 0;
    value = c;
    return length;
}

} // namespace

std::string toUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<char32_t>(text[i]);
        if constexpr (kWideUnitsAre16Bits) {
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
                const auto low = static_cast<char32_t>(text[i + 1]);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    appendEncoded(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
        }
        if (c > 0x10FFFF || isSurrogate(c)) c = 0xFFFD;
        appendEncoded(out, c);
    }
    return out;
}

std::wstring fromUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c;
        if (std::size_t length = sequenceAt(bytes, i, c)) {
            appendCodePoint(out, c);
            i += length;
        } else {
            // Not UTF-8: the byte stands for itself (Latin-1), so that nothing
            // of a name or a text is lost.
            out += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
            ++i;
        }
    }
    return out;
}

void appendCodePoint(std::wstring& out, char32_t c) {
    if (kWideUnitsAre16Bits && c > 0xFFFF) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

} // namespace utf8
