#include "project/settings_table.h"

#include <climits>
#include <cwchar>
#include <string_view>

namespace vog::project {

namespace {

// The table holds together: keys differ, every default fits its setting,
// and vogvar's places are 0, 1, 2, ... each given once.
constexpr bool tableHoldsTogether() {
    std::array<int, kListedCount> listed{};
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const SettingDef& def = kSettingDefs[i];
        if (def.capacity < 2) return false;
        if (def.defaultValue && std::wstring_view(def.defaultValue).size() >= def.capacity)
            return false;
        for (std::size_t j = 0; j < i; ++j)
            if (std::wstring_view(def.key) == kSettingDefs[j].key) return false;
        if (def.listedAt >= static_cast<int>(kListedCount)) return false;
        if (def.listedAt >= 0) ++listed[static_cast<std::size_t>(def.listedAt)];
    }
    for (int count : listed)
        if (count != 1) return false;
    return true;
}
static_assert(tableHoldsTogether());

} // namespace

double leadingNumber(const std::wstring& text) {
    return std::wcstod(text.c_str(), nullptr);
}

int truncatedNumber(const std::wstring& text) {
    const double value = leadingNumber(text);
    if (!(value > INT_MIN && value < INT_MAX)) return 0;
    return static_cast<int>(value);
}

Settings typedSettings(const std::array<std::wstring, kSettingCount>& texts) {
    Settings settings;
    for (std::size_t i = 0; i < kSettingCount; ++i)
        kSettingDefs[i].read(settings, texts[i]);
    return settings;
}

} // namespace vog::project
