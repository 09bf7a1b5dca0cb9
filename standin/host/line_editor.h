// cadhost's command line at a terminal: line editing and history with the
// system's editline library, the history kept in ~/.cadhost_history.
#pragma once

#include <string>

namespace cadhost {

// Starts line editing for the host's prompts and reads the saved history;
// false when cadhost was built without the library (lines are then read as
// they come). Without HOME the history lasts for the session only.
bool startLineEditing();
// Adds a command to the history and saves it.
void rememberLine(const std::string& line);
// The history file, empty when there is none (HOME unset or empty).
std::string historyFile();

} // namespace cadhost
