// Lines a person types at the terminal: commands at the host's prompt and the
// answers to its questions (picks, numbers, file names, dialogs). cadhost
// installs a line editor with history; without one a line is read from the
// terminal input as it comes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace standin {

// Shows the prompt (which holds no line feed), reads one line and leaves the
// cursor at the start of the next; nullopt at the end of the input.
using LineEditor = std::optional<std::string> (*)(const std::string& prompt);
void setLineEditor(LineEditor editor); // nullptr: none

// Starts a fresh line, shows the prompt and reads one line, without its line
// end; nullopt at the end of the input, the line then ended. A line editor
// reads the line unless tests have set the terminal input (setTerminalInput).
std::optional<std::string> readLine(std::wstring_view prompt);

} // namespace standin
