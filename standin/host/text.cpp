// Text conversions and the host's output channel.
#include "host/internal.h"
#include "host/standin.h"

#include <cstdio>

namespace standin {

std::string toUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
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
    return out;
}

std::wstring fromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        char32_t c = extra <= 0   ? b
                     : extra == 1 ? (b & 0x1F)
                     : extra == 2 ? (b & 0x0F)
                                  : (b & 0x07);
        bool ok = extra >= 0 && i + extra < text.size() + (extra == 0);
        for (int k = 1; ok && k <= extra; ++k) {
            auto cb = static_cast<unsigned char>(text[i + k]);
            ok = (cb >> 6) == 2;
            c = (c << 6) | (cb & 0x3F);
        }
        if (!ok) { // not UTF-8: the byte stands for itself
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += extra + 1;
    }
    return out;
}

namespace {

struct OutputState {
    int captures = 0;
    std::string captured;
    bool atLineStart = true;
};

OutputState& output() {
    static OutputState* state = new OutputState;
    return *state;
}

} // namespace

void writeOutput(std::string_view utf8) {
    if (utf8.empty()) return;
    OutputState& out = output();
    if (out.captures > 0) {
        out.captured.append(utf8);
    } else {
        hideProgressMeter();
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
        std::fflush(stdout);
        showProgressMeter(utf8);
    }
    out.atLineStart = utf8.back() == '\n';
}

void writeOutput(std::wstring_view text) {
    writeOutput(toUtf8(text));
}

void freshLine() {
    if (!output().atLineStart) writeOutput(std::string_view("\n"));
}

OutputCapture::OutputCapture() {
    if (output().captures++ == 0) output().captured.clear();
}
OutputCapture::~OutputCapture() {
    --output().captures;
}
std::string OutputCapture::text() const {
    return output().captured;
}
void OutputCapture::clear() {
    output().captured.clear();
}

} // namespace standin
