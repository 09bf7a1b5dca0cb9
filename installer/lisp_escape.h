#pragma once
#include <string>
#include <string_view>

namespace pelmix {

// `text` with every backslash doubled, so that it can stand inside a LISP string literal:
// C:\Vog\ becomes C:\\Vog\\.
std::string escapeForLisp(std::string_view text);

} // namespace pelmix
