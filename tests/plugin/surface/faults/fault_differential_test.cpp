// The indexed fault step against its plain form: the same ".ftin", byte for
// byte, the same console text and alerts, the same result and the same
// progress meter, on scattered, clustered and gridded surfaces with faults
// that stress the snapping, the vertex matching and the cut-triangle search.
#include "app/host_seam.h"
#include "host/progress_meter.h"
#include "host/standin.h"
#include "host_api.h"
#include "plugin/surface/surface_test_support.h"
#include "project/project_state.h"
#include "reference/surface/fault_reference.h"
#include "support/differential.h"
#include "support/generators.h"
#include "surface/faults/fault_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <tuple>

namespace vog::surface {
namespace {

using testing::readText;
using testing::SurfaceFixture;
using testing::widePath;
using testing::writeText;
using vogtest::Yields;

// What one version did.
struct FaultRun {
    int result = 0;
    std::string faulted;
    std::string console;
    std::vector<std::wstring> alerts;
    int meters = 0;
    int restores = 0;
    bool meterShown = false;
};

std::string number(double v, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}

// The fault file in the layout of the dimension; decimals beyond six keep
// ends that lie off the six-decimal lattice of the surface.
std::string faultText(const std::vector<Segment>& faults, int dimension, int decimals = 6) {
    std::string text;
    for (const Segment& f : faults) {
        if (dimension == 2)
            text += number(f.a.x, decimals) + " " + number(f.a.y, decimals) + " " +
                    number(f.b.x, decimals) + " " + number(f.b.y, decimals) + "\n";
        else
            text += number(f.a.x, decimals) + " " + number(f.a.y, decimals) + " " +
                    number(f.a.z, decimals) + " " + number(f.b.x, decimals) + " " +
                    number(f.b.y, decimals) + " " + number(f.b.z, decimals) + "\n";
    }
    return text;
}

std::vector<Point3> verticesOf(const std::vector<Triangle>& tin) {
    std::set<std::tuple<double, double, double>> seen;
    std::vector<Point3> vertices;
    for (const Triangle& t : tin)
        for (const Point3& c : t.corners)
            if (seen.insert({c.x, c.y, c.z}).second) vertices.push_back(c);
    return vertices;
}

Point3 nearestVertex(const std::vector<Point3>& vertices, double x, double y) {
    return *std::min_element(vertices.begin(), vertices.end(), [&](auto& a, auto& b) {
        return std::hypot(a.x - x, a.y - y) < std::hypot(b.x - x, b.y - y);
    });
}

// Faults of many kinds on a surface whose vertices lie about spacing apart.
class FaultMix {
  public:
    FaultMix(const std::vector<Triangle>& tin, double spacing, unsigned seed)
        : tin_(tin), vertices_(verticesOf(tin)), spacing_(spacing), random_(seed) {
        for (const Point3& v : vertices_) {
            minX_ = std::min(minX_, v.x);
            minY_ = std::min(minY_, v.y);
            maxX_ = std::max(maxX_, v.x);
            maxY_ = std::max(maxY_, v.y);
        }
    }

    const std::vector<Segment>& faults() const { return faults_; }

    // Between vertices, from a few triangles long to a good part of the
    // surface; every third one across the one before, so faults cross.
    FaultMix& betweenVertices(int count) {
        std::uniform_real_distribution<double> unit(0, 1);
        for (int k = 0; k < count; ++k) {
            if (k % 3 == 2 && !faults_.empty()) {
                const Segment last = faults_.back();
                const double mx = (last.a.x + last.b.x) / 2, my = (last.a.y + last.b.y) / 2;
                const double dx = last.b.x - last.a.x, dy = last.b.y - last.a.y;
                const double length = std::hypot(dx, dy);
                if (length == 0) continue;
                const double half = (0.3 + unit(random_)) * spacing_ * 4 / length;
                add(nearestVertex(vertices_, mx - dy * half, my + dx * half),
                    nearestVertex(vertices_, mx + dy * half, my - dx * half));
                continue;
            }
            const double limit = spacing_ * (2 + 30 * std::pow(unit(random_), 2));
            const Point3 a = vertex();
            Point3 b = a;
            for (int tries = 0; tries < 500; ++tries) {
                b = vertex();
                const double d = std::hypot(b.x - a.x, b.y - a.y);
                if (d > 0 && d <= limit) break;
            }
            add(a, b);
        }
        return *this;
    }

    // Along existing edges, in either direction.
    FaultMix& alongEdges(int count) {
        std::uniform_int_distribution<std::size_t> pick(0, tin_.size() - 1);
        for (int k = 0; k < count; ++k) {
            const Triangle& t = tin_[pick(random_)];
            const int e = k % 3;
            if (k % 2)
                add(t.corners[e], t.corners[(e + 1) % 3]);
            else
                add(t.corners[(e + 1) % 3], t.corners[e]);
        }
        return *this;
    }

    // From a vertex along the axes and diagonals to the vertex nearest
    // several spacings away: on a grid, through further vertices exactly.
    FaultMix& alongLines(int count) {
        const double directions[8][2] = {{1, 0},  {0, 1},  {1, 1}, {1, -1},
                                         {-1, 0}, {0, -1}, {2, 1}, {1, 2}};
        for (int k = 0; k < count; ++k) {
            const Point3 a = vertex();
            const double steps = 1 + k % 7;
            const auto& d = directions[k % 8];
            add(a, nearestVertex(vertices_, a.x + d[0] * steps * spacing_,
                                 a.y + d[1] * steps * spacing_));
        }
        return *this;
    }

    // Chains that share their ends, and stars from one vertex.
    FaultMix& sharingEnds(int count) {
        Point3 at = vertex();
        for (int k = 0; k < count; ++k) {
            const Point3 next = nearestVertex(vertices_, at.x + spacing_ * (2 + k % 3),
                                              at.y + spacing_ * ((k % 5) - 2));
            add(at, next);
            at = next;
        }
        const Point3 centre = vertex();
        for (int k = 0; k < count; ++k) {
            const double angle = 2 * M_PI * k / count;
            add(centre, nearestVertex(vertices_, centre.x + 4 * spacing_ * std::cos(angle),
                                      centre.y + 4 * spacing_ * std::sin(angle)));
        }
        return *this;
    }

    // Ends moved off vertices: within the snap distance, exactly at it along
    // an axis, just beyond it, and on the diagonal at a distance that rounds
    // either way.
    FaultMix& endsNearVertices(int count) {
        std::uniform_real_distribution<double> unit(0, 1);
        for (int k = 0; k < count; ++k) {
            Point3 a = vertex();
            Point3 b = nearestVertex(vertices_, a.x + spacing_ * 3, a.y + spacing_ * 2);
            switch (k % 5) {
            case 0: {
                const double r = 0.1 * unit(random_), angle = 2 * M_PI * unit(random_);
                a.x += r * std::cos(angle);
                a.y += r * std::sin(angle);
                break;
            }
            case 1:
                a.x += 0.1;
                b.y -= 0.1;
                break;
            case 2:
                a.x -= 0.1000001;
                break;
            case 3:
                a.x += 0.06;
                a.y += 0.08;
                b.x -= 0.0707107;
                b.y -= 0.0707107;
                break;
            default:
                a.z += 50;
                b.x += 0.05;
                break;
            }
            add(a, b);
        }
        return *this;
    }

    // Outside the surface: both ends, one end (the other a vertex), and
    // straight across from outside to outside.
    FaultMix& outside() {
        const double w = maxX_ - minX_, h = maxY_ - minY_;
        add({minX_ - w, minY_ - h, 0}, {minX_ - w / 2, minY_ - h / 3, 0});
        add({maxX_ + 5, maxY_ + 5, 0}, vertex());
        add(vertex(), {minX_ - 3 * spacing_, (minY_ + maxY_) / 2, 0});
        add({minX_ - w, (minY_ + maxY_) / 2 + 0.37, 0}, {maxX_ + w, (minY_ + maxY_) / 2, 0});
        add({minX_ - 1e6, minY_ - 1e6, 0}, vertex());
        add({(minX_ + maxX_) / 2, minY_ - h, 0}, {(minX_ + maxX_) / 2, maxY_ + h, 0});
        return *this;
    }

    // Zero length, on a vertex and off every vertex; vertical and
    // horizontal faults.
    FaultMix& degenerate() {
        const Point3 v = vertex();
        add(v, v);
        add({v.x + spacing_ / 3, v.y + spacing_ / 5, 0},
            {v.x + spacing_ / 3, v.y + spacing_ / 5, 0});
        for (int k = 0; k < 6; ++k) {
            const Point3 a = vertex();
            const double d = spacing_ * (2 + k);
            add(a, k % 2 ? nearestVertex(vertices_, a.x, a.y + d)
                         : nearestVertex(vertices_, a.x + d, a.y));
            add(a, Point3{a.x, a.y - d, 0});
        }
        return *this;
    }

  private:
    Point3 vertex() {
        std::uniform_int_distribution<std::size_t> pick(0, vertices_.size() - 1);
        return vertices_[pick(random_)];
    }
    void add(const Point3& a, const Point3& b) { faults_.push_back({a, b}); }

    const std::vector<Triangle>& tin_;
    std::vector<Point3> vertices_;
    double spacing_;
    std::mt19937 random_;
    double minX_ = 1e300, minY_ = 1e300, maxX_ = -1e300, maxY_ = -1e300;
    std::vector<Segment> faults_;
};

class FaultDifferential : public SurfaceFixture {
  protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        project::resetProjectState();
        project::setSetting(L"ubound", L"0");
    }
    void TearDown() override {
        project::resetProjectState();
        SurfaceFixture::TearDown();
    }

    // The raw triangulation of the points, as the triangle file holds it.
    std::string surfaceOf(const std::vector<Point3>& points) {
        const auto file = writePointFile(testing::pointLines(points), "surface.txt");
        EXPECT_EQ(runPipeline(file), Status::ok);
        return readText(dir() / "surface.ttin");
    }

    FaultRun run(bool reference, const std::string& ttin, const std::string& faults, int dimension,
                 const std::string* boundary, int breakAfter) {
        const std::filesystem::path folder = dir() / (reference ? "plain" : "fast");
        std::filesystem::create_directories(folder);
        std::filesystem::remove(folder / "site.ftin");
        writeText(folder / "site.ttin", ttin);
        writeText(folder / "site.flt", faults);
        if (boundary) {
            writeText(folder / "site.bnd", *boundary);
            project::setSetting(L"dbndry", widePath(folder / "site.bnd"));
            project::setSetting(L"ubound", L"1");
        }
        standin::resetHost();
        standin::resetProgressMeter();
        if (breakAfter > 0) standin::breakAfterPolls(breakAfter);
        FaultRun r;
        {
            standin::OutputCapture capture;
            const std::wstring in = widePath(folder / "site.ttin");
            const std::wstring faultFile = widePath(folder / "site.flt");
            r.result = reference ? vogref::surface::applyFaultLines(in, faultFile, dimension)
                                 : testing::resultCode(
                                       applyFaultLines(in, faultFile, dimension, app::hostSeam()));
            r.console = capture.text();
        }
        for (std::size_t at; (at = r.console.find("/plain/")) != std::string::npos;)
            r.console.replace(at, 7, "/fast/");
        standin::breakAfterPolls(0);
        r.faulted = readText(folder / "site.ftin");
        for (const std::wstring& alert : standin::alerts()) {
            std::wstring text = alert;
            for (std::size_t at; (at = text.find(L"/plain/")) != std::wstring::npos;)
                text.replace(at, 7, L"/fast/");
            r.alerts.push_back(text);
        }
        const standin::ProgressMeterState& meter = standin::progressMeter();
        r.meters = meter.meters;
        r.restores = meter.restores;
        r.meterShown = meter.shown;
        project::setSetting(L"ubound", L"0");
        return r;
    }

    // Both versions; they must agree in everything. Returns the plain run.
    FaultRun compare(const std::string& label, const std::string& ttin, const std::string& faults,
                     int dimension = 3, const std::string* boundary = nullptr, int breakAfter = 0,
                     Yields yields = Yields::something) {
        const FaultRun plain = run(true, ttin, faults, dimension, boundary, breakAfter);
        const FaultRun fast = run(false, ttin, faults, dimension, boundary, breakAfter);
        EXPECT_EQ(fast.result, plain.result) << label;
        EXPECT_EQ(fast.console, plain.console) << label;
        EXPECT_EQ(fast.alerts, plain.alerts) << label;
        EXPECT_EQ(fast.meters, plain.meters) << label;
        EXPECT_EQ(fast.restores, plain.restores) << label;
        EXPECT_EQ(fast.meterShown, plain.meterShown) << label;
        EXPECT_TRUE(vogtest::sameOutput(plain.faulted, fast.faulted, yields))
            << label << ": fault files";
        return plain;
    }

    static std::size_t missingCount(const FaultRun& run) {
        std::size_t count = 0;
        for (std::size_t at = 0; (at = run.console.find("missing for", at)) != std::string::npos;
             ++at)
            ++count;
        return count;
    }

    // Every kind of fault on the surface; the run must change it and, on
    // these surfaces, report some faults missing or skip them.
    void compareMix(const std::string& label, const std::string& ttin, double spacing,
                    unsigned seed, int scale = 1) {
        const std::vector<Triangle> tin = testing::parseTriangles(ttin);
        ASSERT_GT(tin.size(), 10u) << label;
        FaultMix mix(tin, spacing, seed);
        mix.betweenVertices(90 * scale)
            .alongEdges(20 * scale)
            .alongLines(30 * scale)
            .sharingEnds(8 * scale)
            .endsNearVertices(25 * scale)
            .outside()
            .degenerate();
        const FaultRun plain = compare(label, ttin, faultText(mix.faults(), 3));
        EXPECT_EQ(plain.result, 0) << label;
        EXPECT_FALSE(plain.faulted == ttin) << label << ": no fault was placed";
        // Ends off the six-decimal lattice snap differently than rounded ones.
        compare(label + ", nine decimals", ttin, faultText(mix.faults(), 3, 9));
    }
};

TEST_F(FaultDifferential, ScatteredSurfaces) {
    const std::string small = surfaceOf(vogtest::scatteredPoints(300, 41));
    compareMix("scattered 300", small, 500.0 / std::sqrt(300.0), 1);
    const std::string large = surfaceOf(vogtest::scatteredPoints(1500, 42));
    compareMix("scattered 1500", large, 500.0 / std::sqrt(1500.0), 2, 2);
}

TEST_F(FaultDifferential, ClusteredSurfaces) {
    // Dense clusters far apart: long thin triangles between them.
    const std::string clustered = surfaceOf(vogtest::clusteredPoints(1500, 43));
    compareMix("clustered 1500", clustered, 10, 3, 2);
}

TEST_F(FaultDifferential, GriddedSurfaces) {
    // Every fault along a grid line runs through vertices, and the circles
    // of the grid's squares pass through four of them.
    const std::string grid = surfaceOf(vogtest::gridPoints(40, 40, 44));
    compareMix("grid 40x40", grid, 1, 4, 2);
    const std::string strip = surfaceOf(vogtest::gridPoints(60, 6, 45));
    compareMix("grid 60x6", strip, 1, 5);
    // A grid of 0.1: its rows and diagonals are lines of the six-decimal
    // lattice but not of the doubles nearest to the decimals, so a fault
    // along one runs through vertices only as the lattice sees them.
    std::vector<Point3> decimal;
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 30; ++j)
            decimal.push_back(
                {1000.3 + 0.1 * i, 2000.7 + 0.1 * j, static_cast<double>((i * j) % 7)});
    compareMix("grid of 0.1", surfaceOf(decimal), 0.1, 12);
}

TEST_F(FaultDifferential, EndsHalfWayBetweenVerticesTakeTheFirstInSurfaceOrder) {
    // A grid of 0.125: an end half way between two vertices, or at the centre
    // of a square, is equally near to two or four of them within the snap
    // distance; all numbers are exact in binary and in the files.
    std::vector<Point3> points;
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 30; ++j)
            points.push_back({100 + 0.125 * i, 200 + 0.125 * j, static_cast<double>((i + j) % 5)});
    const std::string fine = surfaceOf(points);
    std::vector<Segment> faults;
    std::mt19937 random(46);
    std::uniform_int_distribution<int> cell(1, 27);
    for (int k = 0; k < 150; ++k) {
        const double ax = 100 + 0.125 * cell(random), ay = 200 + 0.125 * cell(random);
        const double bx = 100 + 0.125 * cell(random), by = 200 + 0.125 * cell(random);
        switch (k % 4) {
        case 0: // both ends half way along a row
            faults.push_back({{ax + 0.0625, ay, 0}, {bx + 0.0625, by, 0}});
            break;
        case 1: // half way along a column, and at a square's centre
            faults.push_back({{ax, ay + 0.0625, 0}, {bx + 0.0625, by + 0.0625, 0}});
            break;
        case 2: // a vertex and a centre
            faults.push_back({{ax, ay, 0}, {bx - 0.0625, by - 0.0625, 0}});
            break;
        default: // vertex to vertex
            faults.push_back({{ax, ay, 0}, {bx, by, 0}});
            break;
        }
    }
    const FaultRun plain = compare("fine grid ties", fine, faultText(faults, 3));
    EXPECT_FALSE(plain.faulted == fine);
    compareMix("fine grid mix", fine, 0.125, 6);
}

TEST_F(FaultDifferential, ManyFaultsOnASmallSurfaceRenumberItsTriangles) {
    // Far more triangles replaced than the surface holds, so removed ones
    // are cleared away between faults several times.
    const std::string ttin = surfaceOf(vogtest::scatteredPoints(250, 47));
    const std::vector<Triangle> tin = testing::parseTriangles(ttin);
    FaultMix mix(tin, 500.0 / std::sqrt(250.0), 7);
    mix.betweenVertices(600).alongLines(60);
    const FaultRun plain = compare("many faults", ttin, faultText(mix.faults(), 3));
    EXPECT_FALSE(plain.faulted == ttin);
    EXPECT_LT(missingCount(plain), mix.faults().size() / 4);
}

TEST_F(FaultDifferential, PlanLayoutBoundarySkipsAndOtherSurfaces) {
    const std::string ttin = surfaceOf(vogtest::gridPoints(25, 20, 48));
    const std::vector<Triangle> tin = testing::parseTriangles(ttin);
    FaultMix mix(tin, 1, 8);
    mix.betweenVertices(60).alongLines(30).endsNearVertices(10);
    compare("plan layout", ttin, faultText(mix.faults(), 2), 2);

    // Some faults lie on boundary segments: reversed, and off by less than
    // the tolerance, or by just more.
    std::string boundary;
    const auto& f = mix.faults();
    for (std::size_t k = 0; k < f.size(); k += 4) {
        const double off = (k % 8 == 0) ? 0.000009 : 0.00002;
        boundary += number(f[k].b.x + off, 6) + " " + number(f[k].b.y, 6) + " 0 " +
                    number(f[k].a.x, 6) + " " + number(f[k].a.y - off, 6) + " 0\n";
    }
    compare("boundary skips", ttin, faultText(f, 3), 3, &boundary);

    // Points on a few lines and points repeated in plan.
    compareMix("lines", surfaceOf(vogtest::linePoints(600, 49)), 1, 9);
    compareMix("repeated", surfaceOf(vogtest::repeatedPoints(1200, 50)), 0.5, 10);
}

TEST_F(FaultDifferential, TheBreakKeyStopsAtTheSameFault) {
    // Polled before every fault and at every step along a hole.
    const std::string ttin = surfaceOf(vogtest::gridPoints(20, 20, 51));
    const std::vector<Triangle> tin = testing::parseTriangles(ttin);
    FaultMix mix(tin, 1, 11);
    mix.betweenVertices(30).alongLines(10);
    const std::string faults = faultText(mix.faults(), 3);
    for (int polls : {1, 2, 3, 7, 20, 55, 140, 1000000}) {
        // Stopped, the output file is left empty.
        const FaultRun plain =
            compare("break after " + std::to_string(polls), ttin, faults, 3, nullptr, polls,
                    polls < 1000000 ? Yields::nothing : Yields::something);
        EXPECT_EQ(plain.result, polls < 1000000 ? RTCAN : 0) << polls;
    }
}

TEST_F(FaultDifferential, EmptyAndMalformedFiles) {
    const std::string ttin = surfaceOf(vogtest::scatteredPoints(100, 52));
    compare("no faults", ttin, "");
    // No surface gives an empty output; a malformed file none at all.
    compare("no triangles", "", "1 1 0 2 2 0\n", 3, nullptr, 0, Yields::nothing);
    compare("malformed fault", ttin, "1 1 0 2 2 0\n3 three 0 4 4 0\n", 3, nullptr, 0,
            Yields::nothing);
    compare("malformed surface", ttin.substr(0, ttin.size() / 2) + "x\n", "1 1 0 2 2 0\n", 3,
            nullptr, 0, Yields::nothing);
}

} // namespace
} // namespace vog::surface
