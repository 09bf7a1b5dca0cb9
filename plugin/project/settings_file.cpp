#include "project/settings_file.h"

#include "base/file_replace.h"
#include "base/unicode_text.h"
#include "base/wide_text.h"
#include "project/project_state.h"

#include <filesystem>
#include <fstream>

namespace vog::project {

std::wstring settingsFileText() {
    std::wstring text;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        text += kSettingDefs[i].key;
        text += L'=';
        text += state().values[i];
        text += L'\n';
    }
    return text;
}

std::optional<std::wstring> applySettingsText(std::wstring_view text) {
    std::optional<std::wstring> named;
    for (const std::wstring& line : completeLines(text)) {
        std::size_t eq = line.rfind(L'=');
        if (eq == std::wstring::npos) continue;
        std::wstring_view key(line.data(), eq);
        std::wstring_view value = std::wstring_view(line).substr(eq + 1);
        const std::optional<SettingKey> found = SettingKey::find(key);
        if (!found) continue;
        if (*found == SettingKey(L"dpoints"))
            named = std::wstring(value);
        else
            setSetting(*found, value);
    }
    return named;
}

Status saveSettings(Messages& messages) {
    if (!isProjectOpen()) return Status::failed;
    auto path = projectSiblingPath(messages, L".set");
    if (!path) return Status::failed;

    // A failed write never leaves a truncated settings file behind.
    if (replaceFile(*path, encodeUnicodeText(settingsFileText()))) return Status::ok;
    messages.alert(L"VOG: Could not write settings file " + *path);
    return Status::failed;
}

namespace {

enum class SettingsRead { Read, Missing, Unreadable };

// The bytes of the settings file. Only a missing file is Missing; anything
// else under the name that does not read as a file is Unreadable, and is
// never opened (a FIFO would keep the host waiting) nor written over.
SettingsRead readSettingsBytes(const std::wstring& path, std::string& bytes) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(filePath(path), error);
    if (status.type() == std::filesystem::file_type::not_found) return SettingsRead::Missing;
    if (status.type() != std::filesystem::file_type::regular) return SettingsRead::Unreadable;
    std::ifstream in(filePath(path), std::ios::binary);
    if (!in.is_open()) return SettingsRead::Unreadable;
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
    return in.bad() ? SettingsRead::Unreadable : SettingsRead::Read;
}

// Two spellings of one path ("a/./b" and "a/b") name the same point file.
bool samePath(const std::wstring& a, const std::wstring& b) {
    return a == b || filePath(a).lexically_normal() == filePath(b).lexically_normal();
}

} // namespace

Status loadSettings(Messages& messages) {
    const std::wstring opened = setting(L"dpoints");
    auto path = siblingPath(opened, L".set");
    std::string bytes;
    const SettingsRead read = path ? readSettingsBytes(*path, bytes) : SettingsRead::Missing;
    if (read == SettingsRead::Unreadable) {
        messages.alert(L"Could not read settings file " + *path + L".  Project not opened.");
        return Status::failed;
    }
    // Every key the file does not hold has its default, never the value of
    // the project open before.
    applyDefaults();
    markProjectOpen();
    if (read == SettingsRead::Missing) {
        messages.alert(L"Settings file not found.  Creating settings file.");
        return Status::ok;
    }
    // A copied or moved project folder keeps the old path in its settings
    // file: the file that was opened stays the project's point file, so its
    // surface is built from its own points and nothing is written beside
    // the other path.
    const std::optional<std::wstring> named = applySettingsText(decodeUnicodeText(bytes));
    if (named && !named->empty() && !samePath(*named, opened)) {
        messages.alert(L"The settings file " + *path + L" names the point file " + *named +
                       L".  The project's point file stays " + opened + L".");
    }
    return Status::ok;
}

} // namespace vog::project
