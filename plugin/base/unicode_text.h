// The settings file's text form: UTF-16 little-endian with the byte-order mark
// FF FE, every line feed written as CR LF, as the host platform's Unicode text
// mode writes and reads it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vog::project {

// The bytes of a text in that form, BOM first.
std::string encodeUnicodeText(std::wstring_view text);

// The text of such bytes, CR LF read back as line feeds. A file that starts
// with a UTF-8 byte-order mark is read as UTF-8, any other as UTF-16LE
// (with or without its mark).
std::wstring decodeUnicodeText(std::string_view bytes);

// The lines of a text that are ended by a line feed, without it; a last line
// without a line feed is not returned.
std::vector<std::wstring> completeLines(std::wstring_view text);

} // namespace vog::project
