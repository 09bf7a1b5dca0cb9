// A project folder copied, as users keep a survey per job: triangulating the
// copy builds its surface from the copy's own points, and not a byte of the
// original folder changes, though the copy's settings file names the
// original's point file.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace {

using vogtest::readFile;
using vogtest::runHost;
using vogtest::writeFile;

// Every file of a folder and its bytes.
std::map<std::string, std::string> folderFiles(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(folder).string()] =
                readFile(entry.path().string());
    return files;
}

// The plan positions of the corners of a triangle file, in thousandths.
std::set<std::pair<long long, long long>> corners(const std::string& text) {
    std::istringstream in(text);
    std::set<std::pair<long long, long long>> out;
    double x, y, z;
    while (in >> x >> y >> z)
        out.insert({std::llround(x * 1000), std::llround(y * 1000)});
    return out;
}

std::string gridPoints(double offset) {
    std::string points;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            points += std::to_string(10 * i + offset) + " " + std::to_string(10 * j + offset) +
                      " " + std::to_string(100 + i * j) + "\n";
    return points;
}

TEST(CopiedProject, TriangulatingTheCopyLeavesTheOriginalAsItWas) {
    const vogtest::ScratchFolder scratch("e2e-copied");
    const std::string& dir = scratch.path();
    const std::string original = dir + "/job1";
    const std::string copy = dir + "/job2";
    std::filesystem::create_directories(original);

    // The original project: points, a surface and a settings file.
    writeFile(original + "/site.xyz", gridPoints(0));
    auto run = runHost({"-e", "(lvogopen \"" + original +
                                  "/site.xyz\")(vogset \"dci\" \"5\")"
                                  "(host-dialog \"triangulate\" '() \"accept\")(triangulate)"},
                       dir);
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_TRUE(std::filesystem::exists(original + "/site.tin")) << run.output;
    ASSERT_TRUE(std::filesystem::exists(original + "/site.set")) << run.output;

    // The copy gets points of its own, shifted by 3.5 in plan.
    std::filesystem::copy(original, copy, std::filesystem::copy_options::recursive);
    writeFile(copy + "/site.xyz", gridPoints(3.5));
    const auto before = folderFiles(original);

    run = runHost({"-e", "(lvogopen \"" + copy +
                             "/site.xyz\")"
                             "(host-dialog \"triangulate\" '() \"accept\")(triangulate)"},
                  dir);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("The settings file " + copy + "/site.set names the point file " +
                              original + "/site.xyz.  The project's point file stays " + copy +
                              "/site.xyz."),
              std::string::npos)
        << run.output;

    EXPECT_EQ(folderFiles(original), before) << "the original folder changed";
    const auto points = corners(readFile(copy + "/site.xyz"));
    const auto surface = corners(readFile(copy + "/site.tin"));
    ASSERT_FALSE(surface.empty());
    EXPECT_EQ(surface, points) << "the copy's surface is built from the copy's points";
    // The copy's settings (the interval included) are its own from now on.
    const std::string settings = readFile(copy + "/site.set");
    std::string expected;
    for (char c : "dpoints=" + copy + "/site.xyz\r\n") {
        expected += c;
        expected += '\0';
    }
    EXPECT_NE(settings.find(expected), std::string::npos);
    EXPECT_NE(settings.find(std::string("d\0c\0i\0=\0005\0", 10)), std::string::npos);
}

} // namespace
