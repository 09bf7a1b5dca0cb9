// UTF-8 to and from wide strings, for the plug-in and for the host alike: one
// codec, so that a name or a text reads the same on both sides.
//
// Decoding takes only well-formed UTF-8: a byte that starts no complete,
// shortest-form sequence of a Unicode scalar value (a stray continuation byte,
// a cut-off sequence, an overlong form, an encoded surrogate, a value above
// U+10FFFF, the bytes F5 to FF) stands for itself, as U+0080..U+00FF, and
// decoding goes on with the next byte. Nothing is dropped.
//
// Encoding writes U+FFFD for what no UTF-8 can carry: a unit that is not a
// scalar value (a surrogate, or a value above U+10FFFF where wchar_t has 32
// bits). Where wchar_t has 16 bits, a high and a low surrogate are one
// character and decoding writes characters above U+FFFF as such pairs.
#pragma once

#include <string>
#include <string_view>

namespace utf8 {

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view bytes);

// Appends one Unicode scalar value to a wide string: one unit, or a surrogate
// pair where wchar_t has 16 bits.
void appendCodePoint(std::wstring& out, char32_t c);

} // namespace utf8
