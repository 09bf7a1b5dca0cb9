#include "program_path.h"

namespace pelmix {

std::string programPathFromOpenCommand(std::string_view openCommand) {
    if (!openCommand.empty() && openCommand.front() == '"') {
        const std::string_view rest = openCommand.substr(1);
        return std::string(rest.substr(0, rest.find('"')));
    }
    return std::string(openCommand.substr(0, openCommand.find(' ')));
}

std::string quotedProgramPath(std::string_view programPath) {
    std::string quoted;
    quoted.reserve(programPath.size() + 2);
    quoted += '"';
    quoted += programPath;
    quoted += '"';
    return quoted;
}

} // namespace pelmix
