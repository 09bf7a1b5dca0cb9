// The demo's drawing products as make demo runs them on the bundled survey:
// the drawing read back by an independent reader, the contour picture, and
// the volumes against an independent estimate from the two triangle files.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

namespace {

using vogtest::readFile;
using vogtest::runHost;

const char* kPython = "/usr/bin/python3";

bool haveEzdxf() {
    return std::system((std::string(kPython) + " -c 'import ezdxf' >/dev/null 2>&1").c_str()) == 0;
}

// Per layer and entity type: the count, and for polylines the elevations
// that are not multiples of 10 and of 50.
const char* kCounter = R"(
import sys, collections, ezdxf
from ezdxf import recover
doc, auditor = recover.readfile(sys.argv[1])
print("errors", len(auditor.errors))
count = collections.Counter()
off10 = collections.Counter()
off50 = collections.Counter()
for e in doc.modelspace():
    key = e.dxftype() + " " + e.dxf.layer
    count[key] += 1
    if e.dxftype() == "POLYLINE" and "contours" in e.dxf.layer:
        z = e.dxf.elevation[2]
        off10[key] += abs(z / 10 - round(z / 10)) > 1e-9
        off50[key] += abs(z / 50 - round(z / 50)) > 1e-9
for key in sorted(count):
    print(key, count[key], off10[key], off50[key])
)";

using Triangle = std::array<double, 9>;

std::vector<Triangle> readTriangles(const std::string& path) {
    std::vector<Triangle> out;
    std::ifstream in(path);
    Triangle t;
    while (in >> t[0] >> t[1] >> t[2] >> t[3] >> t[4] >> t[5] >> t[6] >> t[7] >> t[8])
        out.push_back(t);
    return out;
}

// Heights of a surface by barycentric interpolation, the triangles found
// through square buckets of their bounding boxes.
class SurfaceHeights {
  public:
    explicit SurfaceHeights(std::vector<Triangle> triangles) : triangles_(std::move(triangles)) {
        for (std::size_t i = 0; i < triangles_.size(); ++i) {
            const Triangle& t = triangles_[i];
            for (long bx = bucket(std::min({t[0], t[3], t[6]}));
                 bx <= bucket(std::max({t[0], t[3], t[6]})); ++bx)
                for (long by = bucket(std::min({t[1], t[4], t[7]}));
                     by <= bucket(std::max({t[1], t[4], t[7]})); ++by)
                    buckets_[{bx, by}].push_back(i);
        }
    }
    bool at(double x, double y, double& z) const {
        auto found = buckets_.find({bucket(x), bucket(y)});
        if (found == buckets_.end()) return false;
        for (std::size_t i : found->second) {
            const Triangle& t = triangles_[i];
            double d = (t[4] - t[7]) * (t[0] - t[6]) + (t[6] - t[3]) * (t[1] - t[7]);
            if (d == 0) continue;
            double a = ((t[4] - t[7]) * (x - t[6]) + (t[6] - t[3]) * (y - t[7])) / d;
            double b = ((t[7] - t[1]) * (x - t[6]) + (t[0] - t[6]) * (y - t[7])) / d;
            double c = 1 - a - b;
            if (a >= -1e-12 && b >= -1e-12 && c >= -1e-12) {
                z = a * t[2] + b * t[5] + c * t[8];
                return true;
            }
        }
        return false;
    }

  private:
    static long bucket(double v) { return static_cast<long>(std::floor(v / 200)); }
    std::vector<Triangle> triangles_;
    std::map<std::pair<long, long>, std::vector<std::size_t>> buckets_;
};

TEST(DemoProducts, DrawingPictureAndVolumesOfTheBundledSurvey) {
    std::string dir = vogtest::freshFolder("demo");
    std::filesystem::create_directory(dir + "/out");
    for (const char* name : {"jacksboro-survey.xyz", "jacksboro-pad.xyz", "jacksboro-faults.flt",
                             "jacksboro-boundary.bnd"})
        std::filesystem::copy_file(std::string(VOG_SOURCE_DIR) + "/examples/data/" + name,
                                   dir + "/out/" + name);
    const std::string examples = std::string(VOG_SOURCE_DIR) + "/examples/";
    auto run = runHost({"--save", "out/jacksboro.dxf", examples + "demo.lsp",
                        examples + "surface.lsp", examples + "products.lsp"},
                       dir);
    ASSERT_EQ(run.status, 0) << run.output;

    // The volumes line, and the same figures estimated from the two files at
    // the middle of every 25 m cell: the grid pass averages the corners
    // instead, so the two agree to within the sampling.
    double cut = 0, fill = 0, net = 0;
    char word[8] = {};
    std::size_t at = run.output.find("Cut=");
    ASSERT_NE(at, std::string::npos) << run.output;
    ASSERT_EQ(std::sscanf(run.output.c_str() + at, "Cut=%lf\tFill=%lf\tNet=%7s %lf", &cut, &fill,
                          word, &net),
              4);
    EXPECT_NE(run.output.find(" Cubic Meters\n", at), std::string::npos);
    EXPECT_EQ(std::string(word), "Cut");
    EXPECT_NEAR(net, cut - fill, 1e-3);

    std::vector<Triangle> survey = readTriangles(dir + "/out/jacksboro-survey.tin");
    SurfaceHeights existing(survey);
    SurfaceHeights proposed(readTriangles(dir + "/out/jacksboro-pad.tin"));
    double estimatedCut = 0, estimatedFill = 0;
    const double cell = 25;
    for (double x = 493000; x < 515000; x += cell)
        for (double y = 3998500; y < 4015000; y += cell) {
            double ze, zp;
            if (!existing.at(x + cell / 2, y + cell / 2, ze)) continue;
            if (!proposed.at(x + cell / 2, y + cell / 2, zp)) continue;
            (zp > ze ? estimatedFill : estimatedCut) += std::fabs(zp - ze) * cell * cell;
        }
    EXPECT_NEAR(cut, estimatedCut, 0.02 * estimatedCut);
    EXPECT_NEAR(fill, estimatedFill, 0.02 * estimatedFill);
    EXPECT_GT(fill, 1e6) << "the pad has fill as well as cut";

    // The drawing: one face per triangle, contours on their layers at their
    // levels, the mesh and the pad's outline, read without errors.
    if (!haveEzdxf()) {
        ASSERT_EQ(std::getenv("VOG_REQUIRE_EZDXF"), nullptr) << "python3-ezdxf is not installed";
        GTEST_SKIP() << "python3-ezdxf is not installed";
    }
    vogtest::writeFile(dir + "/count.py", kCounter);
    std::string command = std::string(kPython) + " " + dir + "/count.py " + dir +
                          "/out/jacksboro.dxf > " + dir + "/count.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << readFile(dir + "/count.txt");
    std::istringstream counts(readFile(dir + "/count.txt"));
    std::map<std::string, std::array<long, 3>> found;
    std::string first, second;
    long errors = -1;
    counts >> first >> errors;
    EXPECT_EQ(first, "errors");
    EXPECT_EQ(errors, 0);
    std::array<long, 3> row;
    while (counts >> first >> second >> row[0] >> row[1] >> row[2])
        found[first + " " + second] = row;
    EXPECT_EQ(found["3DFACE KT_Tin"][0], static_cast<long>(survey.size()));
    EXPECT_GT(found["POLYLINE KT_Regcontours"][0], 100);
    EXPECT_EQ(found["POLYLINE KT_Regcontours"][1], 0) << "every 10 m";
    EXPECT_EQ(found["POLYLINE KT_Regcontours"][2], found["POLYLINE KT_Regcontours"][0])
        << "none at 50 m";
    EXPECT_GT(found["POLYLINE KT_Indxcontours"][0], 10);
    EXPECT_EQ(found["POLYLINE KT_Indxcontours"][2], 0) << "every 50 m";
    EXPECT_GT(found["POLYLINE KT_Mesh"][0], 10);
    EXPECT_EQ(found["POLYLINE Pad"][0], 1);

    // The contour picture leaves the faces and the mesh out: the pad is its
    // only closed shape.
    run = runHost(
        {"--open", "out/jacksboro.dxf", "--svg", "out/contours.svg", examples + "picture.lsp"},
        dir);
    ASSERT_EQ(run.status, 0) << run.output;
    std::string svg = readFile(dir + "/out/contours.svg");
    std::size_t polygons = 0;
    for (std::size_t p = svg.find("<polygon"); p != std::string::npos;
         p = svg.find("<polygon", p + 1))
        ++polygons;
    EXPECT_EQ(polygons, 1u);
    EXPECT_NE(svg.find("stroke=\"#ff0000\""), std::string::npos) << "the pad in red";
    EXPECT_LT(svg.size(), 2u * 1024 * 1024);
}

} // namespace
