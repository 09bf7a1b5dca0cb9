// The project's settings: one table of every key with its capacity, its
// default, whether vogset may change it and its place in vogvar's list, and
// the typed view of the settings that the commands read. The settings file,
// vogset and vogvar all work from this table.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vog::project {

// A number as the user typed it, in the drawing's linear units (it may read
// 1'6" in architectural units): the command that uses it converts it with
// the units of the drawing current at that moment, so it stays text until
// then.
struct DrawingNumber {
    std::wstring text;
};

// The settings as the commands use them, converted from the texts the
// project stores with the rule each command has always used.
struct Settings {
    std::wstring pointFile;         // dpoints
    std::wstring faultFile;         // dfaults
    std::wstring boundaryFile;      // dbndry
    bool useFaults = false;         // ufaults: exactly "1"
    bool useBoundary = false;       // ubound: exactly "1"
    int faultDimension = 0;         // dimfaults: see truncatedNumber
    bool limitElevations = false;   // uelev: exactly "1"
    double contourWidth = 0;        // dcw: see leadingNumber
    double indexWidth = 0;          // diw
    double contourInterval = 0;     // dci
    double indexInterval = 0;       // dii
    std::wstring contourLayer;      // dcln
    std::wstring indexLayer;        // diln
    DrawingNumber meshSpacing;      // dxi
    DrawingNumber meshHeightFactor; // dzi
    bool roundContours = false;     // dcround: anything but "0"
    DrawingNumber meshBase;         // dbe
    bool meshSkirt = false;         // dsk: exactly "1"
    std::wstring meshLayer;         // dmln
};

// The conversions of the typed view.
// The number a text begins with (leading blanks skipped, as far as it reads
// as a number); 0 when it begins with none.
double leadingNumber(const std::wstring& text);
// The leading number truncated toward zero; 0 when it lies outside the range
// of int (or is not a number).
int truncatedNumber(const std::wstring& text);
// A yes/no setting: yes exactly when its text is "1".
inline bool isOn(const std::wstring& text) {
    return text == L"1";
}

// One named setting: its key in the settings file, in vogset and in vogvar,
// its capacity in wide characters including the terminator, the default
// applied when a project without a settings file is opened (nullptr: never
// defaulted), whether vogset may change it, its place in vogvar's list (-1:
// not listed), and the typed field its text gives.
struct SettingDef {
    const wchar_t* key;
    std::size_t capacity;
    const wchar_t* defaultValue;
    bool settable;
    int listedAt;
    void (*read)(Settings& settings, const std::wstring& text);
};

constexpr std::size_t kSettingCount = 19;

// The settings in the order of the settings file. Columns: key, capacity,
// default, vogset may change it, place in vogvar's list, typed field.
inline constexpr std::array<SettingDef, kSettingCount> kSettingDefs = {{
    {L"dpoints", 512, nullptr, false, 0,
     [](Settings& s, const std::wstring& t) { s.pointFile = t; }},
    {L"dfaults", 512, L"", true, 1, [](Settings& s, const std::wstring& t) { s.faultFile = t; }},
    {L"dbndry", 512, L"", true, 2, [](Settings& s, const std::wstring& t) { s.boundaryFile = t; }},
    {L"ufaults", 16, L"0", true, 4,
     [](Settings& s, const std::wstring& t) { s.useFaults = isOn(t); }},
    {L"ubound", 16, L"0", true, 5,
     [](Settings& s, const std::wstring& t) { s.useBoundary = isOn(t); }},
    {L"dimfaults", 16, L"3", true, 6,
     [](Settings& s, const std::wstring& t) { s.faultDimension = truncatedNumber(t); }},
    {L"uelev", 16, L"0", true, 3,
     [](Settings& s, const std::wstring& t) { s.limitElevations = isOn(t); }},
    {L"dcw", 16, L"0", true, 7,
     [](Settings& s, const std::wstring& t) { s.contourWidth = leadingNumber(t); }},
    {L"diw", 16, L"0", true, 8,
     [](Settings& s, const std::wstring& t) { s.indexWidth = leadingNumber(t); }},
    {L"dci", 16, L"1", true, 9,
     [](Settings& s, const std::wstring& t) { s.contourInterval = leadingNumber(t); }},
    {L"dii", 16, L"5", true, 10,
     [](Settings& s, const std::wstring& t) { s.indexInterval = leadingNumber(t); }},
    {L"dcln", 32, L"KT_Regcontours", true, 11,
     [](Settings& s, const std::wstring& t) { s.contourLayer = t; }},
    {L"diln", 32, L"KT_Indxcontours", true, 12,
     [](Settings& s, const std::wstring& t) { s.indexLayer = t; }},
    {L"dxi", 16, L"1", true, 13, [](Settings& s, const std::wstring& t) { s.meshSpacing = {t}; }},
    {L"dzi", 16, L"1", true, 14,
     [](Settings& s, const std::wstring& t) { s.meshHeightFactor = {t}; }},
    {L"dcround", 2, L"0", false, -1,
     [](Settings& s, const std::wstring& t) { s.roundContours = t != L"0"; }},
    {L"dbe", 16, L"0", true, 15, [](Settings& s, const std::wstring& t) { s.meshBase = {t}; }},
    {L"dsk", 2, L"0", true, 16, [](Settings& s, const std::wstring& t) { s.meshSkirt = isOn(t); }},
    {L"dmln", 32, L"KT_Mesh", true, 17,
     [](Settings& s, const std::wstring& t) { s.meshLayer = t; }},
}};

// Reached only when a key named in code is not in the table: it has no
// definition and is not constexpr, so such a key does not compile.
void settingKeyNotInTheTable();

// A setting of the table. Named in code by its key ("dci"), which is looked
// up when the program is compiled: a mistyped key does not compile. Keys
// given at run time (vogset, the settings file) go through find.
class SettingKey {
  public:
    consteval SettingKey(const wchar_t* key) : index_(indexOf(key)) {}

    // The setting of a key, exact and case-sensitive; nullopt for any other.
    static constexpr std::optional<SettingKey> find(std::wstring_view key) {
        for (std::size_t i = 0; i < kSettingCount; ++i)
            if (key == kSettingDefs[i].key) return SettingKey(i);
        return std::nullopt;
    }

    constexpr std::size_t index() const { return index_; }
    constexpr const wchar_t* name() const { return kSettingDefs[index_].key; }
    constexpr const SettingDef& def() const { return kSettingDefs[index_]; }
    friend constexpr bool operator==(SettingKey, SettingKey) = default;

  private:
    constexpr explicit SettingKey(std::size_t index) : index_(index) {}
    static consteval std::size_t indexOf(std::wstring_view key) {
        for (std::size_t i = 0; i < kSettingCount; ++i)
            if (key == kSettingDefs[i].key) return i;
        settingKeyNotInTheTable();
        return kSettingCount;
    }
    std::size_t index_;
};

// The number of settings in vogvar's list.
inline constexpr std::size_t kListedCount = [] {
    std::size_t count = 0;
    for (const SettingDef& def : kSettingDefs)
        if (def.listedAt >= 0) ++count;
    return count;
}();

// The table's indices in vogvar's order.
inline constexpr std::array<std::size_t, kListedCount> kListedOrder = [] {
    std::array<std::size_t, kListedCount> order{};
    for (std::size_t i = 0; i < kSettingCount; ++i)
        if (kSettingDefs[i].listedAt >= 0)
            order[static_cast<std::size_t>(kSettingDefs[i].listedAt)] = i;
    return order;
}();

// The typed view of the settings' texts, given in the table's order.
Settings typedSettings(const std::array<std::wstring, kSettingCount>& texts);

} // namespace vog::project
