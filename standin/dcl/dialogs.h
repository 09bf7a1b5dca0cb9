// How the stand-in host's dialogs and file dialogs are answered: by answers
// queued beforehand (scripts and tests, through host-dialog and host-file),
// by a person at the terminal, or, with neither, by their defaults.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace standin {

// The answer to one run of a dialog: tile values applied in order as a user
// would enter them, then the tile pressed to close it ("accept" or "cancel").
struct DialogAnswer {
    std::vector<std::pair<std::wstring, std::wstring>> values;
    std::wstring press = L"accept";
};

// Queues the answer for the next run of the dialog of that name.
void queueDialogAnswer(const std::wstring& dialog, DialogAnswer answer);
std::size_t pendingDialogAnswers(const std::wstring& dialog);

// Queues the answer of the next file dialog: a path, or nullopt to cancel it.
void queueFileAnswer(std::optional<std::wstring> path);
std::size_t pendingFileAnswers();

// A folder searched for dialog files after the folders of the loaded
// applications and the current folder.
void addDialogFolder(const std::wstring& folder);

// Where a person's answers are read from when the host is interactive
// (standard input unless set; nullptr restores it).
void setTerminalInput(std::istream* input);
std::istream& terminalInput();

// The dialog files loaded and not unloaded, and the dialogs between
// ads_new_dialog and the end of ads_start_dialog.
std::size_t loadedDialogFiles();
std::size_t openDialogs();

// Forgets every queued answer, added folder, loaded dialog file and open
// dialog (part of resetHost).
void resetDialogs();
void resetFileAnswers();

} // namespace standin
