// A settings file's bytes read into the settings, then written again.
#include "base/unicode_text.h"
#include "project/project_state.h"
#include "project/settings_file.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vog::project::resetProjectState();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    vog::project::applySettingsText(vog::project::decodeUnicodeText(bytes));
    // Every setting stays within its capacity.
    for (std::size_t i = 0; i < vog::project::kSettingCount; ++i)
        if (vog::project::state().values[i].size() >= vog::project::kSettingDefs[i].capacity)
            __builtin_trap();
    std::string written = vog::project::encodeUnicodeText(vog::project::settingsFileText());
    if (written.size() < 2) __builtin_trap();
    return 0;
}
