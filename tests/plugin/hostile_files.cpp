#include "plugin/hostile_files.h"

#include "project/settings_file.h"
#include "support/run_host.h"

#include "app/host_seam.h"
#include "dcl/dialogs.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vogtest {

namespace {

std::string joined(const std::vector<std::string>& records, const std::string& end) {
    std::string text;
    for (const std::string& r : records)
        text += r + end;
    return text;
}

// The record with its first number replaced.
std::string withFirstNumber(const std::string& record, const std::string& number) {
    return number + record.substr(record.find(' '));
}

std::string withSeparator(const std::string& record, char separator) {
    std::string out = record;
    for (char& c : out)
        if (c == ' ') c = separator;
    return out;
}

std::string withPlusSigns(const std::string& record) {
    std::string out = "+";
    for (char c : record) {
        out += c;
        if (c == ' ') out += '+';
    }
    return out;
}

} // namespace

std::vector<HostileFile> hostileVariants(const std::vector<std::string>& records) {
    const std::string lines = joined(records, "\n");
    auto replaced = [&](std::size_t index, const std::string& record) {
        std::vector<std::string> copy = records;
        copy[index] = record;
        return joined(copy, "\n");
    };
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7 + 3) % 256);
    std::string withNul = records[1];
    withNul.insert(1, 1, '\0');
    std::string truncated = records[2].substr(0, records[2].rfind(' '));
    truncated = truncated.substr(0, truncated.rfind(' '));
    std::vector<std::string> plus;
    for (const std::string& r : records)
        plus.push_back(withPlusSigns(r));

    return {
        {"empty", "", 0},
        {"no line end at the end", lines.substr(0, lines.size() - 1), 0},
        {"CR LF", joined(records, "\r\n"), 0},
        {"lone CR", joined(records, "\r"), 0},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + lines, 0},
        {"commas", replaced(0, withSeparator(records[0], ',')), 1},
        {"semicolons", replaced(0, withSeparator(records[0], ';')), 1},
        {"text header", "x y z easting northing\n" + lines, 1},
        {"nan", replaced(1, withFirstNumber(records[1], "nan")), 2},
        {"inf", replaced(2, withFirstNumber(records[2], "-inf")), 3},
        {"1e308", replaced(1, withFirstNumber(records[1], "1e308")), 0},
        {"-0", replaced(0, withFirstNumber(records[0], "-0")), 0},
        {"leading plus", joined(plus, "\n"), 0},
        {"1 MB line without a line end", std::string(1 << 20, '7'), 1},
        {"binary garbage", binary, 1},
        {"NUL byte", replaced(1, withNul), 2},
        {"truncated record", lines + truncated + "\n", records.size() + 1},
        {"lone CR, bad third line", joined({records[0], records[1], "1 x 2"}, "\r"), 3},
    };
}

const HostileFile& variant(const std::vector<HostileFile>& variants, const std::string& name) {
    for (const HostileFile& v : variants)
        if (v.name == name) return v;
    ADD_FAILURE() << "no variant " << name;
    return variants.front();
}

std::vector<std::string> sitePointRecords() {
    std::vector<std::string> records;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            records.push_back(std::to_string(x) + " " + std::to_string(y) + " " +
                              std::to_string(x + y));
    return records;
}

void HostileProjectTest::SetUp() {
    PluginTest::SetUp();
    standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
    folder = freshFolder("hostile");
    std::filesystem::create_directories(folder + "/temp");
    if (const char* temp = std::getenv("TEMP")) savedTemp_ = temp;
    ::setenv("TEMP", (folder + "/temp").c_str(), 1);

    std::string points;
    for (const std::string& r : sitePointRecords())
        points += r + "\n";
    write("site.xyz", points);
    write("site.tin", "0.000000 0.000000 0.000000 0.000000 9.000000 0.000000 9.000000 "
                      "0.000000 0.000000\n");
    call(L"lvogopen", {widePath("site.xyz")});
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::ok);
    standin::clearAlerts();
    capture.clear();
    rememberProjectFiles();
}

void HostileProjectTest::TearDown() {
    if (savedTemp_)
        ::setenv("TEMP", savedTemp_->c_str(), 1);
    else
        ::unsetenv("TEMP");
    PluginTest::TearDown();
}

std::wstring HostileProjectTest::widePath(const std::string& name) const {
    return standin::fromUtf8(path(name));
}

void HostileProjectTest::write(const std::string& name, const std::string& bytes) {
    writeFile(path(name), bytes);
}

std::optional<std::string> HostileProjectTest::contents(const std::string& name) const {
    if (!std::filesystem::exists(path(name))) return std::nullopt;
    return readFile(path(name));
}

void HostileProjectTest::rememberProjectFiles() {
    savedSurface = contents("site.tin");
    savedSettings = contents("site.set");
}

::testing::AssertionResult HostileProjectTest::projectFilesUnchanged() const {
    if (contents("site.tin") != savedSurface)
        return ::testing::AssertionFailure() << "site.tin changed";
    if (contents("site.set") != savedSettings)
        return ::testing::AssertionFailure() << "site.set changed";
    return ::testing::AssertionSuccess();
}

std::wstring HostileProjectTest::lastAlert() const {
    return standin::alerts().empty() ? L"" : standin::alerts().back();
}

int HostileProjectTest::runCommand(int (*command)(), std::chrono::steady_clock::duration& took) {
    standin::clearAlerts();
    capture.clear();
    standin::breakAfterPolls(20'000'000);
    const auto started = std::chrono::steady_clock::now();
    const int result = command();
    took = std::chrono::steady_clock::now() - started;
    standin::breakAfterPolls(0);
    return result;
}

} // namespace vogtest
