#include "base/unicode_text.h"

#include "utf8_codec.h"

namespace vog::project {

namespace {

void putUnit(std::string& out, unsigned unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>((unit >> 8) & 0xFF);
}

} // namespace

std::string encodeUnicodeText(std::wstring_view text) {
    std::string out = "\xFF\xFE";
    out.reserve(2 + 2 * text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c == L'\n') {
            putUnit(out, L'\r');
            putUnit(out, L'\n');
        } else if (c > 0xFFFF && c <= 0x10FFFF) {
            c -= 0x10000;
            putUnit(out, 0xD800 + (c >> 10));
            putUnit(out, 0xDC00 + (c & 0x3FF));
        } else if (c > 0x10FFFF) {
            putUnit(out, 0xFFFD);
        } else {
            putUnit(out, c);
        }
    }
    return out;
}

std::wstring decodeUnicodeText(std::string_view bytes) {
    std::wstring raw;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        raw = utf8::fromUtf8(bytes.substr(3));
    } else {
        if (bytes.substr(0, 2) == "\xFF\xFE") bytes.remove_prefix(2);
        raw.reserve(bytes.size() / 2);
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            char32_t unit = static_cast<unsigned char>(bytes[i]) |
                            (static_cast<unsigned char>(bytes[i + 1]) << 8);
            if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
                char32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                               (static_cast<unsigned char>(bytes[i + 3]) << 8);
                if (low >= 0xDC00 && low < 0xE000) {
                    utf8::appendCodePoint(raw, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    i += 2;
                    continue;
                }
            }
            raw += static_cast<wchar_t>(unit);
        }
    }
    // Text mode: CR LF is one line feed; a lone CR stays.
    std::wstring text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == L'\r' && i + 1 < raw.size() && raw[i + 1] == L'\n') continue;
        text += raw[i];
    }
    return text;
}

std::vector<std::wstring> completeLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L'\n', start)) != std::wstring_view::npos;
         start = end + 1)
        lines.emplace_back(text.substr(start, end - start));
    return lines;
}

} // namespace vog::project
