// Line editing and history for cadhost's interactive command line.
#include "host/line_editor.h"

#include "host/line_input.h"

#include <cstdlib>
#include <optional>

#ifdef CADHOST_LINE_EDITING
#include <editline/readline.h>
#endif

namespace cadhost {

namespace {

constexpr int kHistoryLines = 1000;

#ifdef CADHOST_LINE_EDITING
std::optional<std::string> editLine(const std::string& prompt) {
    char* typed = ::readline(prompt.c_str());
    if (!typed) return std::nullopt;
    std::string line = typed;
    std::free(typed);
    return line;
}
#endif

} // namespace

std::string historyFile() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "";
    std::string path = home;
    if (path.back() != '/') path += '/';
    return path + ".cadhost_history";
}

#ifdef CADHOST_LINE_EDITING
bool startLineEditing() {
    ::using_history();
    ::stifle_history(kHistoryLines);
    if (const std::string file = historyFile(); !file.empty()) ::read_history(file.c_str());
    standin::setLineEditor(editLine);
    return true;
}

void rememberLine(const std::string& line) {
    // Blank lines and a line typed again straight after itself add nothing.
    static std::string last;
    if (line.find_first_not_of(" \t") == std::string::npos || line == last) return;
    last = line;
    ::add_history(line.c_str());
    if (const std::string file = historyFile(); !file.empty()) ::write_history(file.c_str());
}
#else
bool startLineEditing() {
    return false;
}
void rememberLine(const std::string&) {}
#endif

} // namespace cadhost
