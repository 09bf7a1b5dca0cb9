// Text for XML and SVG documents written by the tools: the characters with a
// meaning in markup written as references, so that a name or a title is kept
// as it was typed, in element text and in attribute values alike.
#pragma once

#include <string>
#include <string_view>

namespace vog::tools {

inline void appendMarkupEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

inline std::string markupEscaped(std::string_view text) {
    std::string out;
    appendMarkupEscaped(out, text);
    return out;
}

} // namespace vog::tools
