// The settings file: its exact bytes, and how a file is read back.
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "app/host_seam.h"
#include "base/unicode_text.h"
#include "project/settings_file.h"

#include <array>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace {

using vog::project::setting;
using vogtest::readFile;
using vogtest::writeFile;

std::string utf16(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// What the host platform's Unicode text mode writes for these lines.
std::string settingsBytes(const std::vector<std::string>& lines) {
    std::string out = "\xFF\xFE";
    for (const auto& line : lines)
        out += utf16(line + "\r\n");
    return out;
}

std::vector<std::string> defaultLines(const std::string& pointFile) {
    return {"dpoints=" + pointFile,
            "dfaults=",
            "dbndry=",
            "ufaults=0",
            "ubound=0",
            "dimfaults=3",
            "uelev=0",
            "dcw=0",
            "diw=0",
            "dci=1",
            "dii=5",
            "dcln=KT_Regcontours",
            "diln=KT_Indxcontours",
            "dxi=1",
            "dzi=1",
            "dcround=0",
            "dbe=0",
            "dsk=0",
            "dmln=KT_Mesh"};
}

class SettingsFileTest : public vogtest::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        folder = vogtest::freshFolder("settings");
        pointFile = folder + "/site.dat";
    }
    void open(const std::string& path) { call(L"lvogopen", {standin::fromUtf8(path)}); }
    std::string folder, pointFile;
};

TEST_F(SettingsFileTest, NewProjectGetsDefaultsAndSavesTheNineteenLines) {
    open(pointFile);
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_EQ(standin::alerts()[0], L"Settings file not found.  Creating settings file.");
    EXPECT_TRUE(vog::project::isProjectOpen());
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::ok);
    EXPECT_EQ(readFile(folder + "/site.set"), settingsBytes(defaultLines(pointFile)));
    EXPECT_FALSE(std::filesystem::exists(folder + "/site.set.tmp"));
}

TEST_F(SettingsFileTest, FileIsReadBackAsWritten) {
    auto lines = defaultLines(pointFile);
    lines[9] = "dci=2.5";
    lines[11] = "dcln=Höhen"; // non-ASCII survives the round trip
    std::string bytes = "\xFF\xFE";
    for (const auto& line : lines)
        bytes += vog::project::encodeUnicodeText(standin::fromUtf8(line + "\n")).substr(2);
    writeFile(folder + "/site.set", bytes);
    open(pointFile);
    EXPECT_TRUE(standin::alerts().empty());
    EXPECT_EQ(setting(L"dci"), L"2.5");
    EXPECT_EQ(setting(L"dcln"), L"Höhen");
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::ok);
    EXPECT_EQ(readFile(folder + "/site.set"), bytes);
}

TEST_F(SettingsFileTest, ReadingRules) {
    // Keys in another case, unknown keys, lines without "=" and values
    // containing "=" change nothing; a later line wins; any order; the last
    // line without line end is not used; every key not read has its default.
    writeFile(folder + "/site.set", settingsBytes({"dii=7", "DCI=9", "nonsense", "dcw=a=b", "dii=8",
                                                   "diw=3", "dpoints=" + pointFile}) +
                                        utf16("dzi=4"));
    open(pointFile);
    EXPECT_TRUE(standin::alerts().empty());
    EXPECT_EQ(setting(L"dpoints"), standin::fromUtf8(pointFile));
    EXPECT_EQ(setting(L"dii"), L"8");
    EXPECT_EQ(setting(L"diw"), L"3");
    EXPECT_EQ(setting(L"dci"), L"1");
    EXPECT_EQ(setting(L"dcw"), L"0");
    EXPECT_EQ(setting(L"dzi"), L"1");
    EXPECT_TRUE(vog::project::isProjectOpen());
}

// A copied or moved project folder, or a settings file from elsewhere: the
// point file opened stays the project's, and the other one is not touched.
TEST_F(SettingsFileTest, TheOpenedPointFileStaysTheProjectsWhateverTheFileNames) {
    const std::string other = vogtest::freshFolder("settings-other") + "/site.dat";
    writeFile(other, "1 2 3\n");
    writeFile(folder + "/site.set", settingsBytes({"dpoints=" + other, "dci=2"}));
    open(pointFile);
    EXPECT_EQ(setting(L"dpoints"), standin::fromUtf8(pointFile));
    EXPECT_EQ(setting(L"dci"), L"2");
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_EQ(standin::alerts()[0],
              standin::fromUtf8("The settings file " + folder + "/site.set names the point file " +
                                other + ".  The project's point file stays " + pointFile + "."));
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::ok);
    EXPECT_EQ(readFile(folder + "/site.set").substr(0, 2 + 2 * (8 + pointFile.size())),
              settingsBytes({"dpoints=" + pointFile}).substr(0, 2 + 2 * (8 + pointFile.size())));
    EXPECT_FALSE(std::filesystem::exists(other.substr(0, other.size() - 4) + ".set"));

    // Another spelling of the same path is the same point file.
    vog::project::resetProjectState();
    std::string spelled = pointFile;
    spelled.insert(spelled.rfind('/'), "/.");
    writeFile(folder + "/site.set", settingsBytes({"dpoints=" + spelled}));
    standin::clearAlerts();
    open(pointFile);
    EXPECT_TRUE(standin::alerts().empty());
}

TEST_F(SettingsFileTest, AbsentKeysGetTheirDefaultsNotThePreviousProjectsValues) {
    open(pointFile); // defaults
    call(L"vogset", {L"dcln", L"Mine"});
    call(L"vogset", {L"dfaults", L"/elsewhere/a.flt"});
    call(L"vogset", {L"dbndry", L"/elsewhere/a.bnd"});
    std::string other = folder + "/other.dat";
    writeFile(folder + "/other.set", settingsBytes({"dpoints=" + other, "dci=3"}));
    open(other);
    EXPECT_EQ(setting(L"dci"), L"3");
    EXPECT_EQ(setting(L"dcln"), L"KT_Regcontours");
    EXPECT_EQ(setting(L"dfaults"), L"");
    EXPECT_EQ(setting(L"dbndry"), L"");
    EXPECT_EQ(setting(L"dmln"), L"KT_Mesh");
}

// A settings file that is there but cannot be read: the project is not
// opened, and nothing is ever written over it.
TEST_F(SettingsFileTest, ASettingsFileThatCannotBeReadIsNeverOverwritten) {
    const std::string set = folder + "/site.set";
    auto expectRefused = [&](const char* what) {
        SCOPED_TRACE(what);
        vog::project::resetProjectState();
        standin::clearAlerts();
        const auto started = std::chrono::steady_clock::now();
        open(pointFile);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
        EXPECT_FALSE(vog::project::isProjectOpen());
        ASSERT_EQ(standin::alerts().size(), 1u);
        EXPECT_EQ(standin::alerts()[0], standin::fromUtf8("Could not read settings file " + set +
                                                          ".  Project not opened."));
        EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::failed)
            << "nothing to write at exit";
    };
    std::filesystem::create_directory(set);
    expectRefused("a folder");
    EXPECT_TRUE(std::filesystem::is_directory(set));
    std::filesystem::remove(set);

    ASSERT_EQ(::mkfifo(set.c_str(), 0600), 0);
    // Should the open wait for a writer, one comes (a failure, not a hang).
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const int handle = ::open(set.c_str(), O_WRONLY | O_NONBLOCK);
        if (handle >= 0) ::close(handle);
    });
    expectRefused("a FIFO");
    writer.join();
    EXPECT_TRUE(std::filesystem::is_fifo(set));
    std::filesystem::remove(set);

    std::filesystem::create_symlink("/proc/self/mem", set);
    expectRefused("a file whose read fails");
    EXPECT_TRUE(std::filesystem::is_symlink(set));
    std::filesystem::remove(set);

    // With a project open, that project stays open as it was.
    const std::string other = folder + "/other.dat";
    open(other);
    call(L"vogset", {L"dci", L"4"});
    std::filesystem::create_directory(set);
    standin::clearAlerts();
    open(pointFile);
    EXPECT_TRUE(vog::project::isProjectOpen());
    EXPECT_EQ(setting(L"dpoints"), standin::fromUtf8(other));
    EXPECT_EQ(setting(L"dci"), L"4");
    EXPECT_TRUE(std::filesystem::is_directory(set));
}

TEST_F(SettingsFileTest, OtherEncodingsAndLineEnds) {
    // UTF-16 without its mark, lone CRs kept inside a value, an empty file.
    std::string noBom = settingsBytes({"dci=4", "dcln=a\rb"}).substr(2);
    writeFile(folder + "/site.set", noBom);
    open(pointFile);
    EXPECT_EQ(setting(L"dci"), L"4");
    EXPECT_EQ(setting(L"dcln"), L"a\rb");

    vog::project::resetProjectState();
    writeFile(folder + "/site.set", "\xEF\xBB\xBF"
                                    "dci=6\r\ndii=2\n");
    open(pointFile);
    EXPECT_EQ(setting(L"dci"), L"6");
    EXPECT_EQ(setting(L"dii"), L"2");

    vog::project::resetProjectState();
    writeFile(folder + "/site.set", "");
    open(pointFile);
    EXPECT_TRUE(vog::project::isProjectOpen());
    EXPECT_EQ(setting(L"dpoints"), standin::fromUtf8(pointFile));
}

TEST_F(SettingsFileTest, ValuesAreCutToTheirCapacity) {
    std::string longPath(700, 'p');
    writeFile(folder + "/site.set",
              settingsBytes({"dfaults=" + longPath, "dcround=12", "dci=" + longPath}));
    open(pointFile);
    EXPECT_EQ(setting(L"dfaults").size(), 511u);
    EXPECT_EQ(setting(L"dcround"), L"1");
    EXPECT_EQ(setting(L"dci").size(), 15u);
    call(L"vogset", {L"dmln", std::wstring(40, L'm')});
    EXPECT_EQ(setting(L"dmln"), std::wstring(31, L'm'));
}

TEST_F(SettingsFileTest, FailedWriteKeepsTheOldFileAndSaysSo) {
    open(pointFile);
    std::filesystem::create_directory(folder + "/site.set"); // cannot be replaced by a file
    capture.clear();
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::failed);
    EXPECT_NE(capture.text().find("VOG: Could not write settings file " + folder + "/site.set"),
              std::string::npos)
        << capture.text();
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/site.set"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/site.set.tmp"));

    // A folder that does not exist.
    call(L"lvogopen", {standin::fromUtf8(folder + "/missing/x.dat")});
    capture.clear();
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::failed);
    EXPECT_NE(capture.text().find("VOG: Could not write settings file"), std::string::npos);
}

TEST_F(SettingsFileTest, HostileFilesOpenTheProjectAndNeverOverrunASetting) {
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) % 256);
    const std::vector<std::pair<const char*, std::string>> files = {
        {"one huge line", "\xFF\xFE" + utf16("dfaults=") + std::string(2 << 20, 'a')},
        {"binary", binary},
        {"NUL bytes", std::string("\xFF\xFE\0\0\0\0d\0c\0i\0=\0\0\0\n\0", 18)},
        {"odd byte count", settingsBytes({"dci=3"}) + "x"},
        {"lone CR line ends", "\xFF\xFE" + utf16("dci=3\rdii=4\r")},
    };
    for (const auto& [name, bytes] : files) {
        vog::project::resetProjectState();
        writeFile(folder + "/site.set", bytes);
        open(pointFile);
        EXPECT_TRUE(vog::project::isProjectOpen()) << name;
        for (std::size_t i = 0; i < vog::project::kSettingCount; ++i)
            EXPECT_LT(vog::project::state().values[i].size(),
                      vog::project::kSettingDefs[i].capacity)
                << name;
        // Saving writes the nineteen lines whatever was read.
        EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::ok)
            << name;
        std::wstring text = vog::project::decodeUnicodeText(readFile(folder + "/site.set"));
        EXPECT_EQ(vog::project::completeLines(text).size(), 19u) << name;
    }
    // Lone CRs do not end lines: the whole text is one line without a line
    // end, and dci keeps its default.
    EXPECT_EQ(setting(L"dci"), L"1");
}

// The table drives the file, vogset and vogvar: every key makes the round
// trip, and vogset and vogvar take exactly the keys the table gives them.
TEST_F(SettingsFileTest, EveryKeyOfTheTableMakesTheRoundTripThroughTheFile) {
    using vog::project::kSettingDefs;
    open(pointFile);
    // A value of its own for every setting, as long as the setting holds.
    std::array<std::wstring, vog::project::kSettingCount> values;
    for (std::size_t i = 1; i < vog::project::kSettingCount; ++i) {
        const std::wstring own = std::wstring(1, static_cast<wchar_t>(L'a' + i)) +
                                 kSettingDefs[i].key + std::wstring(600, L'x');
        values[i] = own.substr(0, kSettingDefs[i].capacity - 1);
        vog::project::state().values[i] = values[i];
    }
    values[0] = standin::fromUtf8(pointFile);
    const std::wstring written = vog::project::settingsFileText();
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::ok);
    vog::project::resetProjectState();
    standin::clearAlerts();
    open(pointFile);
    EXPECT_TRUE(standin::alerts().empty());
    EXPECT_EQ(vog::project::state().values, values);
    EXPECT_EQ(vog::project::settingsFileText(), written);
}

TEST_F(SettingsFileTest, VogsetAndVogvarTakeTheKeysOfTheTable) {
    using vog::project::kSettingDefs;
    open(pointFile);
    for (std::size_t i = 0; i < vog::project::kSettingCount; ++i) {
        const std::wstring before = vog::project::state().values[i];
        call(L"vogset", {kSettingDefs[i].key, L"7"});
        EXPECT_EQ(vog::project::state().values[i], kSettingDefs[i].settable ? L"7" : before)
            << standin::toUtf8(kSettingDefs[i].key);
    }
    std::vector<std::wstring> listed;
    for (std::size_t index : vog::project::kListedOrder) {
        listed.push_back(kSettingDefs[index].key);
        listed.push_back(vog::project::state().values[index]);
    }
    EXPECT_EQ(listed.size(), 36u);
    EXPECT_EQ(strings(call(L"vogvar")), listed);
}

// The typed view reads each text with the rule its command always used.
TEST(SettingsTypedView, EveryFieldReadsItsDefaultAndMalformedTextsAsTheCommandsDid) {
    using vog::project::setSetting;
    using vog::project::settings;
    vog::project::resetProjectState();
    vog::project::applyDefaults();
    const vog::project::Settings defaults = settings();
    EXPECT_EQ(defaults.pointFile, L"");
    EXPECT_EQ(defaults.faultFile, L"");
    EXPECT_EQ(defaults.boundaryFile, L"");
    EXPECT_FALSE(defaults.useFaults);
    EXPECT_FALSE(defaults.useBoundary);
    EXPECT_EQ(defaults.faultDimension, 3);
    EXPECT_FALSE(defaults.limitElevations);
    EXPECT_EQ(defaults.contourWidth, 0.0);
    EXPECT_EQ(defaults.indexWidth, 0.0);
    EXPECT_EQ(defaults.contourInterval, 1.0);
    EXPECT_EQ(defaults.indexInterval, 5.0);
    EXPECT_EQ(defaults.contourLayer, L"KT_Regcontours");
    EXPECT_EQ(defaults.indexLayer, L"KT_Indxcontours");
    EXPECT_EQ(defaults.meshSpacing.text, L"1");
    EXPECT_EQ(defaults.meshHeightFactor.text, L"1");
    EXPECT_FALSE(defaults.roundContours);
    EXPECT_EQ(defaults.meshBase.text, L"0");
    EXPECT_FALSE(defaults.meshSkirt);
    EXPECT_EQ(defaults.meshLayer, L"KT_Mesh");

    // Numbers: the leading number, 0 without one; the fault dimension
    // truncated toward zero, 0 beyond int.
    for (const auto& [text, interval, dimension] :
         std::vector<std::tuple<std::wstring, double, int>>{{L" 2.5m", 2.5, 2},
                                                            {L"-2.9", -2.9, -2},
                                                            {L"x3", 0, 0},
                                                            {L"", 0, 0},
                                                            {L"3e12", 3e12, 0},
                                                            {L"-3e12", -3e12, 0}}) {
        setSetting(L"dci", text);
        setSetting(L"dimfaults", text);
        EXPECT_EQ(settings().contourInterval, interval) << standin::toUtf8(text);
        EXPECT_EQ(settings().faultDimension, dimension) << standin::toUtf8(text);
    }
    setSetting(L"dimfaults", L"nan");
    EXPECT_EQ(settings().faultDimension, 0);
    // Yes/no: only "1" is yes; rounding is on for anything but "0"; a
    // drawing number keeps its text for the drawing's units.
    for (const wchar_t* text : {L"1", L" 1", L"yes", L"", L"0"}) {
        setSetting(L"ufaults", text);
        setSetting(L"dcround", text);
        setSetting(L"dbe", text);
        EXPECT_EQ(settings().useFaults, std::wstring_view(text) == L"1");
        EXPECT_EQ(settings().roundContours, std::wstring_view(text) != L"0");
        EXPECT_EQ(settings().meshBase.text, text);
    }
    vog::project::resetProjectState();
}

// The settings file's steps tell the user through the messages they are
// given, not through the host.
TEST(SettingsFileSeam, TheStepsAlertThroughTheMessagesTheyAreGiven) {
    struct Recorded final : vog::Messages {
        std::vector<std::wstring> alerts;
        void alert(const std::wstring& text) override { alerts.push_back(text); }
        void print(const std::wstring& text) override { alerts.push_back(L"print: " + text); }
    } messages;
    standin::resetHost();
    vog::project::resetProjectState();
    const std::string folder = vogtest::freshFolder("settings-seam");
    EXPECT_FALSE(vog::project::requireOpenProject(messages, vog::project::kNoProjectMessage));
    EXPECT_EQ(vog::project::saveSettings(messages), vog::Status::failed);
    vog::project::setSetting(L"dpoints", standin::fromUtf8(folder + "/site.dat"));
    EXPECT_EQ(vog::project::loadSettings(messages), vog::Status::ok);
    EXPECT_TRUE(vog::project::isProjectOpen());
    std::filesystem::create_directory(folder + "/site.set");
    EXPECT_EQ(vog::project::saveSettings(messages), vog::Status::failed);
    EXPECT_EQ(vog::project::loadSettings(messages), vog::Status::failed);
    EXPECT_EQ(
        messages.alerts,
        (std::vector<std::wstring>{
            L"You must open a project first.", L"Settings file not found.  Creating settings file.",
            standin::fromUtf8("VOG: Could not write settings file " + folder + "/site.set"),
            standin::fromUtf8("Could not read settings file " + folder +
                              "/site.set.  Project not opened.")}));
    EXPECT_TRUE(standin::alerts().empty());
    vog::project::resetProjectState();
}

TEST(SettingsSiblings, TheLastDotOfTheFileNameDecides) {
    using vog::project::siblingPath;
    EXPECT_EQ(siblingPath(L"/survey/site.dat", L".set"), L"/survey/site.set");
    EXPECT_EQ(siblingPath(L"/x/site.v2.xyz", L".tin"), L"/x/site.v2.tin");
    EXPECT_EQ(siblingPath(L"/a.b/site.north.txt", L".tin"), L"/a.b/site.north.tin");
    // A "." in a folder name is no extension of the file.
    EXPECT_EQ(siblingPath(L"/site/survey.2023/points", L".set"), std::nullopt);
    EXPECT_EQ(siblingPath(L"/a.b/points", L".set"), std::nullopt);
    EXPECT_EQ(siblingPath(L"/survey/points", L".set"), std::nullopt);
}

TEST(UnicodeText, SupplementaryCharactersUseSurrogatePairs) {
    std::wstring text = L"dcln=\U0001F600\n";
    std::string bytes = vog::project::encodeUnicodeText(text);
    EXPECT_EQ(bytes.substr(bytes.size() - 8), std::string("\x3D\xD8\x00\xDE\r\0\n\0", 8));
    EXPECT_EQ(vog::project::decodeUnicodeText(bytes), text);
}

} // namespace
