// Replacing a file without ever leaving it half written: the new contents go
// to a temporary file beside it, which is renamed over the old one only once
// it is complete.
#pragma once

#include <string>
#include <string_view>

namespace vog {

// True when the file now holds exactly the bytes. On false the old file, if
// any, is as it was and no temporary file is left behind.
bool replaceFile(const std::wstring& path, std::string_view bytes);

} // namespace vog
