#include "lisp_escape.h"

namespace pelmix {

std::string escapeForLisp(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

} // namespace pelmix
