#include "wildcard.h"

namespace pelmix {

bool wildcardMatch(std::string_view pattern, std::string_view text) {
    const std::size_t end = pattern.size();
    std::size_t p = 0;
    std::size_t t = 0;

    // The literal head, up to the first star.
    while (t < text.size() && !(p < end && pattern[p] == '*')) {
        if (p >= end || (pattern[p] != text[t] && pattern[p] != '?')) return false;
        ++p;
        ++t;
    }

    // After a star: try to match the rest from each later text position in turn.
    std::size_t resumePattern = std::string_view::npos;
    std::size_t resumeText = 0;
    while (t < text.size()) {
        if (p < end && pattern[p] == '*') {
            ++p;
            if (p == end) return true;
            resumePattern = p;
            resumeText = t + 1;
        } else if (p < end && (pattern[p] == text[t] || pattern[p] == '?')) {
            ++p;
            ++t;
        } else {
            if (resumePattern == std::string_view::npos) return false;
            p = resumePattern;
            t = resumeText++;
        }
    }

    while (p < end && pattern[p] == '*')
        ++p;
    return p == end;
}

} // namespace pelmix
