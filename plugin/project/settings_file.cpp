#include "project/settings_file.h"

#include "host/file_replace.h"
#include "host/host_api.h"
#include "host/wide_text.h"
#include "project/project_state.h"
#include "project/unicode_text.h"

#include <fstream>
#include <iterator>

namespace vog::project {

std::wstring settingsFileText() {
    std::wstring text;
    for (const SettingDef& def : kSettingDefs) {
        text += def.key;
        text += L'=';
        text += setting(def.key);
        text += L'\n';
    }
    return text;
}

void applySettingsText(std::wstring_view text) {
    for (const std::wstring& line : completeLines(text)) {
        std::size_t eq = line.rfind(L'=');
        if (eq == std::wstring::npos) continue;
        std::wstring_view key(line.data(), eq);
        if (settingIndex(key)) setSetting(key, std::wstring_view(line).substr(eq + 1));
    }
}

int saveSettings() {
    if (!isProjectOpen()) return RTERROR;
    auto path = projectSiblingPath(L".set");
    if (!path) return RTERROR;

    // A failed write never leaves a truncated settings file behind.
    if (replaceFile(*path, encodeUnicodeText(settingsFileText()))) return 0;
    acedAlert((L"VOG: Could not write settings file " + *path).c_str());
    return RTERROR;
}

int loadSettings() {
    auto path = siblingPath(setting(L"dpoints"), L".set");
    std::ifstream in;
    if (path) in.open(filePath(*path), std::ios::binary);
    if (!in) {
        acedAlert(L"Settings file not found.  Creating settings file.");
        applyDefaults();
        markProjectOpen();
        return RTNORM;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    markProjectOpen();
    applySettingsText(decodeUnicodeText(bytes));
    return RTNORM;
}

} // namespace vog::project
