#pragma once
#include <string>
#include <string_view>

namespace pelmix {

// `text` with every backslash doubled and a backslash before every double quote, so that it
// can stand inside a LISP string literal: C:\Vog\ becomes C:\\Vog\\, and a double quote in
// the text cannot end the literal early.
std::string escapeForLisp(std::string_view text);

} // namespace pelmix
