#include "plugin/surface/surface_test_support.h"

#include "app/host_result.h"
#include "app/host_seam.h"
#include "base/wide_text.h"
#include "host_api.h"
#include "support/run_host.h"
#include "surface/files/number_text.h"
#include "surface/prepare/point_preparation.h"
#include "surface/triangulation.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vog::surface {

void PrintTo(const Point3& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ", " << point.z << ")";
}

void PrintTo(const Triangle& triangle, std::ostream* out) {
    for (const Point3& corner : triangle.corners)
        PrintTo(corner, out);
}

} // namespace vog::surface

namespace vog::surface::testing {

std::string readText(const std::filesystem::path& path) {
    return vogtest::readFile(path.string());
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    vogtest::writeFile(path.string(), text);
}

std::wstring widePath(const std::filesystem::path& path) {
    return fromUtf8(path.string());
}

std::string pointLines(const std::vector<Point3>& points) {
    std::string text;
    for (const Point3& p : points)
        text += formatFixed6(p.x) + " " + formatFixed6(p.y) + " " + formatFixed6(p.z) + "\n";
    return text;
}

namespace {

std::vector<double> parseNumbers(const std::string& text) {
    std::istringstream in(text);
    std::vector<double> numbers;
    double value;
    while (in >> value)
        numbers.push_back(value);
    EXPECT_TRUE(in.eof()) << "unreadable number in written file";
    return numbers;
}

} // namespace

std::vector<Point3> parsePoints(const std::string& text) {
    std::vector<double> n = parseNumbers(text);
    EXPECT_EQ(n.size() % 3, 0u);
    std::vector<Point3> points;
    for (std::size_t i = 0; i + 2 < n.size(); i += 3)
        points.push_back({n[i], n[i + 1], n[i + 2]});
    return points;
}

std::vector<Triangle> parseTriangles(const std::string& text) {
    std::vector<double> n = parseNumbers(text);
    EXPECT_EQ(n.size() % 9, 0u);
    std::vector<Triangle> triangles;
    for (std::size_t i = 0; i + 8 < n.size(); i += 9) {
        Triangle t;
        for (int k = 0; k < 3; ++k)
            t.corners[k] = {n[i + 3 * k], n[i + 3 * k + 1], n[i + 3 * k + 2]};
        triangles.push_back(t);
    }
    return triangles;
}

void SurfaceFixture::SetUp() {
    standin::resetHost();
    standin::clearAlerts();
    scratch_.emplace("surface");
    dir_ = scratch_->path();
}

void SurfaceFixture::TearDown() {
    scratch_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
    standin::breakAfterPolls(0);
    standin::clearAlerts();
}

std::filesystem::path SurfaceFixture::writePointFile(const std::string& text,
                                                     const std::string& name) {
    std::filesystem::path path = dir_ / name;
    writeText(path, text);
    return path;
}

std::optional<ElevationLimits> elevationLimits(bool use, const std::wstring& mine,
                                               const std::wstring& maxe) {
    if (!use) return std::nullopt;
    return surface::elevationLimits({mine, maxe});
}

int resultCode(Status status, int successCode) {
    return status == Status::ok ? successCode : app::toHostResult(status);
}

Status SurfaceFixture::runPipeline(const std::filesystem::path& pointFile) {
    SortWorkFiles files = sortWorkFiles();
    const Seam& seam = app::hostSeam();
    const Status prepared = preparePoints(widePath(pointFile), std::nullopt, files, seam);
    if (prepared != Status::ok) return prepared;
    return triangulateSortedPoints(widePath(pointFile), files.sortedPointFile, seam);
}

std::vector<Triangle> SurfaceFixture::rawTriangles(const std::filesystem::path& pointFile) const {
    std::filesystem::path ttin = pointFile;
    ttin.replace_extension(".ttin");
    return parseTriangles(readText(ttin));
}

} // namespace vog::surface::testing
