#pragma once
#include <string_view>

namespace pelmix {

// Whole-text wildcard match with exact character comparison: "*" stands for any run of
// characters (also none), "?" for any single character.
bool wildcardMatch(std::string_view pattern, std::string_view text);

} // namespace pelmix
