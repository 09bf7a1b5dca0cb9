#pragma once
#include <string_view>

namespace pelmix {

// Whether the menus may be installed into the CAD program at `programPath` (P): it must end
// in one of the accepted executable names (case-sensitive), and its quoted form must match
// neither of the refused patterns "*Carlson*" and "*MicroSurvey*".
bool isAcceptedProgram(std::string_view programPath);

} // namespace pelmix
