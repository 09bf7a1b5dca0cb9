// Shared fixtures of the surface tests: a scratch folder that TEMP points to,
// file helpers, and running point preparation and the triangulation on a
// point file.
#pragma once

#include "host/standin.h"
#include "geometry/geometry.h"
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vog::surface {

// Readable test failures.
void PrintTo(const Point3& point, std::ostream* out);
void PrintTo(const Triangle& triangle, std::ostream* out);

} // namespace vog::surface

namespace vog::surface::testing {

std::string readText(const std::filesystem::path& path);
void writeText(const std::filesystem::path& path, const std::string& text);
std::wstring widePath(const std::filesystem::path& path);

// "x y z\n" per point, six decimals.
std::string pointLines(const std::vector<Point3>& points);

// The records of a file the code wrote, parsed independently of the
// plug-in's readers: whitespace-separated numbers, in groups.
std::vector<Point3> parsePoints(const std::string& text);
std::vector<Triangle> parseTriangles(const std::string& text);

// Each test gets a fresh host, an empty scratch folder and TEMP set to a
// folder inside it (restored afterwards), the support library's scratch
// folder.
class SurfaceFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path dir() const { return dir_; }
    std::filesystem::path tempDir() const { return dir_ / "temp"; }
    std::filesystem::path workFile() const { return tempDir() / "sortwk1.txt"; }
    std::filesystem::path sortedFile() const { return tempDir() / "sortwk2.txt"; }

    // Writes points.txt (or the given name) with the text; returns its path.
    std::filesystem::path writePointFile(const std::string& text,
                                         const std::string& name = "points.txt");

    // preparePoints then triangulateSortedPoints on the file; the status of
    // the step that stopped, or of the triangulation.
    int runPipeline(const std::filesystem::path& pointFile, bool useElevationLimits = false,
                    const std::wstring& mine = L"0", const std::wstring& maxe = L"0");
    // The triangles of the ".ttin" beside the point file.
    std::vector<Triangle> rawTriangles(const std::filesystem::path& pointFile) const;

    const std::vector<std::wstring>& alerts() const { return standin::alerts(); }

  private:
    std::filesystem::path dir_;
    std::optional<vogtest::ScratchFolder> scratch_;
};

} // namespace vog::surface::testing
