// The one UTF-8 codec of the plug-in and the host: well-formed text both ways,
// every byte of what is not UTF-8 kept as itself, and U+FFFD for wide units
// that no UTF-8 can carry.
#include "utf8_codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string hex(std::string_view bytes) {
    std::string out;
    for (unsigned char b : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, "%02X ", b);
        out += part;
    }
    return out;
}

TEST(Utf8Codec, WellFormedTextReadsAndWritesBack) {
    struct Case {
        std::wstring text;
        std::string bytes;
    };
    const Case cases[] = {
        {L"site 1.dat", "site 1.dat"},
        {std::wstring(1, L'\0') + L"\x7F", std::string("\0\x7F", 2)},
        {L"\x80\x7FF", "\xC2\x80\xDF\xBF"},
        {L"\x800\xD7FF\xE000\xFFFD\xFFFF",
         "\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD\xEF\xBF\xBF"},
        {L"Gel\xE4nde \x20AC", "Gel\xC3\xA4nde \xE2\x82\xAC"},
        {L"\x10000\x1D11E\x10FFFF", "\xF0\x90\x80\x80\xF0\x9D\x84\x9E\xF4\x8F\xBF\xBF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(utf8::toUtf8(c.text)), hex(c.bytes));
        EXPECT_EQ(utf8::fromUtf8(c.bytes), c.text) << hex(c.bytes);
    }
}

TEST(Utf8Codec, BytesThatAreNotUtf8StandForThemselves) {
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"a stray continuation byte", "a\x80z", L"a\x80z"},
        {"a sequence cut off at the end", "a\xC3", L"a\xC3"},
        {"a sequence cut off by a letter", "\xE2\x82z", L"\xE2\x82z"},
        {"an overlong slash", "\xC0\xAF", L"\xC0\xAF"},
        {"an overlong NUL", "\xC0\x80", L"\xC0\x80"},
        {"an overlong three-byte form", "\xE0\x80\xAF", L"\xE0\x80\xAF"},
        {"an overlong four-byte form", "\xF0\x80\x80\xAF", L"\xF0\x80\x80\xAF"},
        {"an encoded high surrogate", "\xED\xA0\x80", L"\xED\xA0\x80"},
        {"an encoded low surrogate", "\xED\xBF\xBF", L"\xED\xBF\xBF"},
        {"a value above U+10FFFF", "\xF4\x90\x80\x80", L"\xF4\x90\x80\x80"},
        {"a lead byte F5", "\xF5\x80\x80\x80", L"\xF5\x80\x80\x80"},
        {"a five-byte form", "\xF8\x88\x80\x80\x80", L"\xF8\x88\x80\x80\x80"},
        {"the bytes FE FF", "\xFE\xFF", L"\xFE\xFF"},
        // After a byte that stands for itself, well-formed text reads on.
        {"a good sequence after a bad one", "\xC0\xAF\xC3\xA9.dat", L"\xC0\xAF\xE9.dat"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8::fromUtf8(c.bytes), c.text) << c.what;
}

TEST(Utf8Codec, WideUnitsNoUtf8CanCarryBecomeTheReplacementCharacter) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(hex(utf8::toUtf8(std::wstring(1, wchar_t(0xD800)) + L"a")), hex(replacement + "a"));
    EXPECT_EQ(hex(utf8::toUtf8(std::wstring(1, wchar_t(0xDFFF)))), hex(replacement));
    if constexpr (sizeof(wchar_t) == 4) {
        // Units of 32 bits: a surrogate pair is two surrogates, not one character.
        EXPECT_EQ(hex(utf8::toUtf8(L"\xD83D\xDE00")), hex(replacement + replacement));
        EXPECT_EQ(hex(utf8::toUtf8(std::wstring{wchar_t(0x110000), wchar_t(-1)})),
                  hex(replacement + replacement));
    }
}

} // namespace
