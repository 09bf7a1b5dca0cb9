#pragma once
#include <string>
#include <string_view>

namespace pelmix {

// The executable path P of a shell open command: between the first two double quotes when
// the command starts with one (to the end when the closing quote is missing), otherwise
// everything before the first space.
std::string programPathFromOpenCommand(std::string_view openCommand);

// P enclosed in double quotes (Q), the form that is shown and started.
std::string quotedProgramPath(std::string_view programPath);

} // namespace pelmix
