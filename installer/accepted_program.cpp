#include "accepted_program.h"

#include "program_path.h"
#include "wildcard.h"

#include <array>

namespace pelmix {

namespace {

constexpr std::array<std::string_view, 4> shortNames = {"icad.exe", "pcad.exe", "WCAD.exe",
                                                        "acad.exe"};
constexpr std::string_view longName = "bricscad.exe";
constexpr std::array<std::string_view, 2> refusedPatterns = {"*Carlson*", "*MicroSurvey*"};

// The last `count` characters of `text`; empty when `text` is shorter, so a short path can
// never compare equal to a name.
std::string_view lastCharacters(std::string_view text, std::size_t count) {
    return text.size() < count ? std::string_view() : text.substr(text.size() - count);
}

} // namespace

bool isAcceptedProgram(std::string_view programPath) {
    bool knownName = lastCharacters(programPath, longName.size()) == longName;
    for (std::string_view name : shortNames)
        if (lastCharacters(programPath, name.size()) == name) knownName = true;
    if (!knownName) return false;

    const std::string quoted = quotedProgramPath(programPath);
    for (std::string_view pattern : refusedPatterns)
        if (wildcardMatch(pattern, quoted)) return false;
    return true;
}

} // namespace pelmix
