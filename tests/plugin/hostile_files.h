// Hostile versions of a data file, for the readers of every data file: the
// same valid records spoiled in each of the ways files from instruments,
// spreadsheets and other programs are spoiled, each with what the reader
// must make of it. And a fixture with an open project whose surface and
// settings file must come out of every hostile run byte for byte.
#pragma once

#include "support/host_fixture.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace vogtest {

struct HostileFile {
    std::string name;
    std::string bytes;
    // The line a refusal must name; 0 when the file is valid and must be read.
    std::size_t refusedLine = 0;
};

// The variants of a file of valid records (one per line, written without
// line ends; the first number of the first record is 0 and there are at
// least three records): empty, without a last line end, CR LF, lone CR,
// byte-order mark, commas, semicolons, text header, nan, inf, 1e308 and -0,
// leading "+", a 1 MB line without a line end, binary garbage, a NUL byte and
// a truncated record.
std::vector<HostileFile> hostileVariants(const std::vector<std::string>& records);

// The variant of that name.
const HostileFile& variant(const std::vector<HostileFile>& variants, const std::string& name);

// An open project "site.xyz" in a fresh folder with TEMP inside it, an old
// surface "site.tin" and a saved settings file "site.set".
class HostileProjectTest : public PluginTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return folder + "/" + name; }
    std::wstring widePath(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes);
    std::optional<std::string> contents(const std::string& name) const;

    // The surface and settings file as they are now, and whether they still are.
    void rememberProjectFiles();
    ::testing::AssertionResult projectFilesUnchanged() const;

    // The last alert, or "" when none was shown.
    std::wstring lastAlert() const;
    // Runs a command body, with a break pressed after very many polls so that
    // a command that cannot end comes back instead of hanging the test.
    int runCommand(int (*command)(), std::chrono::steady_clock::duration& took);

    std::string folder;
    std::optional<std::string> savedSurface;
    std::optional<std::string> savedSettings;

  private:
    std::optional<std::string> savedTemp_;
};

// Valid records of a small site: a 4 x 4 grid of points with heights 0 to 6.
std::vector<std::string> sitePointRecords();

} // namespace vogtest
