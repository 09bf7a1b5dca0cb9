// Shared fixtures of the surface tests: a scratch folder that TEMP points to,
// file helpers, and running point preparation and the triangulation on a
// point file.
#pragma once

#include "base/seam.h"
#include "base/status.h"
#include "geometry/geometry.h"
#include "host/standin.h"
#include "support/run_host.h"
#include "surface/prepare/point_preparation.h"

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
// The elevation limits of the texts as the triangulate command takes them;
// none without use.
std::optional<ElevationLimits> elevationLimits(bool use, const std::wstring& mine,
                                               const std::wstring& maxe);

// A seam that records what a step tells the user and how it shows its
// progress, and reports the break key from the given poll on (never with 0).
// A step run with it reaches the host in no way.
class RecordingSeam final : public Messages, public Progress, public Cancellation {
  public:
    explicit RecordingSeam(int breakAtPoll = 0) : breakAtPoll_(breakAtPoll) {}

    void alert(const std::wstring& text) override { alerts.push_back(text); }
    void print(const std::wstring& text) override { prints.push_back(text); }
    void show(const std::wstring& label, int range) override {
        labels.push_back(label);
        ranges.push_back(range);
        ++shown;
    }
    void move(int position) override { positions.push_back(position); }
    void hide() override { ++hidden; }
    bool requested() override { return breakAtPoll_ > 0 && ++polls >= breakAtPoll_; }

    Seam seam() { return {*this, *this, *this}; }

    std::vector<std::wstring> alerts;
    std::vector<std::wstring> prints;
    std::vector<std::wstring> labels; // of the meters shown, in order
    std::vector<int> ranges;
    std::vector<int> positions;
    int shown = 0;
    int hidden = 0;
    int polls = 0;

  private:
    int breakAtPoll_;
};

// A step's status as the result code the plain versions answer: successCode
// (RTNORM, or 0 where they answer 0) for ok, else the host's code.
int resultCode(Status status, int successCode = 0);

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

    // preparePoints then triangulateSortedPoints on the file, through the
    // host's seam; the status of the step that stopped, or of the
    // triangulation.
    Status runPipeline(const std::filesystem::path& pointFile);
    // The triangles of the ".ttin" beside the point file.
    std::vector<Triangle> rawTriangles(const std::filesystem::path& pointFile) const;

    const std::vector<std::wstring>& alerts() const { return standin::alerts(); }

  private:
    std::filesystem::path dir_;
    std::optional<vogtest::ScratchFolder> scratch_;
};

} // namespace vog::surface::testing
