// The project's settings file: the point file's sibling ".set", a
// "key=value" line for every setting, in the order of the settings table.
#pragma once

#include "base/seam.h"
#include "base/status.h"

#include <optional>
#include <string>
#include <string_view>

namespace vog::project {

// The file's text for the current settings (line feeds, before encoding).
std::wstring settingsFileText();

// Applies the lines of a settings file's text to the settings: the last "="
// of a line splits key from value, keys match exactly, unknown keys and lines
// without "=" are ignored, a last line without line feed is not used. The
// dpoints line is not applied: the point file the file names (of its last
// dpoints line) is given back instead.
std::optional<std::wstring> applySettingsText(std::wstring_view text);

// Writes the open project's settings file: ok when written; failed when no
// project is open, when the point file has no extension or when the file
// cannot be written (the settings then stay in memory only; the last two
// with an alert).
Status saveSettings(Messages& messages);

// Reads the settings file of the project named by dpoints over the defaults
// (or applies the defaults when there is none) and marks the project open:
// ok. The point file that was opened stays the project's, whatever the
// file names; when it names another one, an alert names both. A settings
// file that exists but cannot be read (a folder, a FIFO, a device, a file
// that does not open or whose read fails) is refused with an alert naming
// it: failed, with no setting changed and the project not opened.
Status loadSettings(Messages& messages);

} // namespace vog::project
