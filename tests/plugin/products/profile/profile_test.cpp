// ktexsec: the profile along a picked polyline, cut against the surface edges
// of the exchange file.
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "dcl/dialogs.h"
#include "products/profile/profile_cut.h"
#include "products/profile/profile_order.h"

#include <cmath>
#include <filesystem>
#include <sstream>

namespace {

vog::surface::Point3 pointOf(const ads_point p) {
    return {p[0], p[1], p[2]};
}

using vogtest::readFile;
using vogtest::writeFile;

class ProfileTest : public vogtest::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        folder = vogtest::freshFolder("profile") + "/";
        resbuf prefix;
        prefix.restype = RTSTR;
        std::wstring wide = standin::fromUtf8(folder);
        prefix.resval.rstring = wide.data();
        standin::setSysVar(L"DWGPREFIX", prefix);
        exchange = folder + "kttin.asc";
        profile = folder + "ground.pfl";
    }

    // A lightweight polyline through the points (x, y, bulge of the segment
    // that starts there); picked for the next run.
    void pickLightweight(const std::vector<std::array<double, 3>>& vertices) {
        resbuf* head = acutBuildList(RTDXF0, L"LWPOLYLINE", 8, L"0", 90,
                                     static_cast<int>(vertices.size()), 70, 0, 0);
        resbuf* tail = head;
        while (tail->rbnext)
            tail = tail->rbnext;
        for (const auto& v : vertices) {
            ads_point p = {v[0], v[1], 0};
            tail->rbnext = acutBuildList(10, p, 42, v[2], 0);
            while (tail->rbnext)
                tail = tail->rbnext;
        }
        ASSERT_EQ(acdbEntMake(head), RTNORM);
        acutRelRb(head);
        pickLast();
    }

    void pickLast() {
        ads_name last;
        ASSERT_EQ(acdbEntLast(last), RTNORM);
        standin::queuePick(last[0]);
    }

    // Runs the command with a starting station (nullopt: empty reply) and the
    // profile file chosen in the file dialog.
    std::string run(std::optional<double> start, bool chooseFile = true) {
        standin::queueReal(start);
        if (chooseFile) standin::queueFileAnswer(standin::fromUtf8(profile));
        capture.clear();
        EXPECT_EQ(call(L"ktexsec").kind, standin::CallResult::Void);
        return capture.text();
    }

    std::vector<std::pair<double, double>> profileLines() {
        std::istringstream in(readFile(profile));
        std::vector<std::pair<double, double>> lines;
        double s, z;
        while (in >> s >> z)
            lines.emplace_back(s, z);
        return lines;
    }

    std::string folder, exchange, profile;
};

// Edges across the x axis at the given x, from elevation z at y = -10 to z + 20 at y = 10:
// crossing the axis at z + 10.
std::string edgeAcrossAxis(double x, double z) {
    std::ostringstream out;
    out << x << " -10 " << z << " " << x << " 10 " << z + 20 << "\n";
    return out.str();
}

TEST_F(ProfileTest, StraightPolylineCrossingThreeEdges) {
    // Out of station order, one edge twice and one in the other direction too.
    writeFile(exchange, edgeAcrossAxis(7, 0) + edgeAcrossAxis(2, 5) + edgeAcrossAxis(7, 0) +
                            "4.5 10 3 4.5 -10 -17\n" + edgeAcrossAxis(4.5, -17));
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    std::string out = run(100.0);
    EXPECT_EQ(out, "\nGetting elevations ........ Done!");
    EXPECT_EQ(readFile(profile),
              "102.000000 15.000000\n104.500000 -7.000000\n107.000000 10.000000\n");
    EXPECT_EQ(readFile(exchange), "This file was created by Sekator and may be deleted.");
}

TEST_F(ProfileTest, EmptyReplyStartsAtZeroAndASingleCrossingIsWrittenTwice) {
    writeFile(exchange, edgeAcrossAxis(3, 1));
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    run(std::nullopt);
    EXPECT_EQ(readFile(profile), "3.000000 11.000000\n3.000000 11.000000\n");
}

TEST_F(ProfileTest, NoCrossingWritesNoFileButTheExchangeIsConsumed) {
    writeFile(exchange, edgeAcrossAxis(30, 1));
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    std::string out = run(0.0, false);
    EXPECT_NE(out.find("\nUnable to extract profile!"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(profile));
    EXPECT_EQ(readFile(exchange), "This file was created by Sekator and may be deleted.");
}

TEST_F(ProfileTest, SharedStationAtAVertexIsWrittenOnce) {
    // Both segments meeting at x = 10 report the crossing there.
    writeFile(exchange, edgeAcrossAxis(5, 0) + edgeAcrossAxis(10, 1) + edgeAcrossAxis(15, 2));
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}, {{20, 0, 0}}});
    run(0.0);
    EXPECT_EQ(readFile(profile), "5.000000 10.000000\n10.000000 11.000000\n10.000000 11.000000\n"
                                 "15.000000 12.000000\n");
}

// The exchange file is prepared outside the system: a complete last edge
// without a line end is used, not lost.
TEST_F(ProfileTest, LastRecordWithoutLineEndIsUsed) {
    std::string last = edgeAcrossAxis(6, 0);
    last.pop_back();
    writeFile(exchange, edgeAcrossAxis(3, 0) + last);
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    run(0.0);
    ASSERT_EQ(profileLines().size(), 2u);
    EXPECT_EQ(profileLines()[0].first, 3.0);
    EXPECT_EQ(profileLines()[1].first, 6.0);
}

TEST_F(ProfileTest, OldStylePolylines) {
    writeFile(exchange, edgeAcrossAxis(3, 0) + edgeAcrossAxis(8, 0));
    ads_point origin = {0, 0, 0}, a = {0, 0, 0}, b = {5, 0, 0}, c = {10, 0, 0};
    for (auto* list :
         {acutBuildList(RTDXF0, L"POLYLINE", 8, L"0", 10, origin, 66, 1, 0),
          acutBuildList(RTDXF0, L"VERTEX", 10, a, 0), acutBuildList(RTDXF0, L"VERTEX", 10, b, 0),
          acutBuildList(RTDXF0, L"VERTEX", 10, c, 0), acutBuildList(RTDXF0, L"SEQEND", 0)}) {
        ASSERT_EQ(acdbEntMake(list), RTNORM);
        acutRelRb(list);
    }
    pickLast();
    run(0.0);
    EXPECT_EQ(readFile(profile), "3.000000 10.000000\n8.000000 10.000000\n");

    // A polyline header with no vertex after it.
    writeFile(exchange, edgeAcrossAxis(3, 0));
    resbuf* lonely = acutBuildList(RTDXF0, L"POLYLINE", 8, L"0", 10, origin, 66, 1, 0);
    ASSERT_EQ(acdbEntMake(lonely), RTNORM);
    acutRelRb(lonely);
    pickLast();
    std::filesystem::remove(profile);
    std::string out = run(0.0, false);
    EXPECT_NE(out.find("\nUnable to extract profile!"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(profile));
}

TEST_F(ProfileTest, RefusedPicksAndFiles) {
    std::string out = run(0.0, false);
    EXPECT_EQ(out, "\nNothing selected!") << "nothing queued: nothing picked";

    ads_point a = {0, 0, 0}, b = {1, 1, 0};
    resbuf* line = acutBuildList(RTDXF0, L"LINE", 10, a, 11, b, 0);
    acdbEntMake(line);
    acutRelRb(line);
    pickLast();
    EXPECT_EQ(run(0.0, false), "\nYou must select a polyline!");

    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    EXPECT_EQ(run(0.0, false), "\nCan't open point file. Command Terminates.");

    writeFile(exchange, edgeAcrossAxis(3, 0) + "1 2 3 four 5 6\n");
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    out = run(0.0, false);
    EXPECT_EQ(out, "\nLine 2 of " + exchange +
                       " is not a surface edge: 1 2 3 four 5 6 (6 numbers expected, 5 found, and "
                       "\"four\" is not a number)");
    EXPECT_EQ(readFile(exchange), edgeAcrossAxis(3, 0) + "1 2 3 four 5 6\n") << "kept as it was";

    // A folder under the exchange file's name is a file that cannot be
    // opened, and is kept.
    std::filesystem::remove(exchange);
    std::filesystem::create_directory(exchange);
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    EXPECT_EQ(run(0.0, false), "\nCan't open point file. Command Terminates.");
    EXPECT_TRUE(std::filesystem::is_directory(exchange));
    std::filesystem::remove(exchange);
    writeFile(exchange, edgeAcrossAxis(3, 0) + "1 2 3 four 5 6\n");
    EXPECT_EQ(readFile(exchange), edgeAcrossAxis(3, 0) + "1 2 3 four 5 6\n") << "kept as it was";

    writeFile(exchange, edgeAcrossAxis(3, 0));
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    profile = folder + "no/such/folder/p.pfl";
    out = run(0.0);
    EXPECT_NE(out.find("\nCan't create profile file " + profile + "."), std::string::npos) << out;

    writeFile(exchange, "");
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    out = run(0.0, false);
    EXPECT_NE(out.find("\nUnable to extract profile!"), std::string::npos) << out;
}

TEST_F(ProfileTest, FailedWritesKeepThePreviousFiles) {
    // An earlier profile stays byte for byte when the new one cannot be
    // written (here its temporary file is blocked by a folder of that name).
    writeFile(profile, "old profile\n");
    std::filesystem::create_directory(profile + ".tmp");
    writeFile(exchange, edgeAcrossAxis(3, 0));
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    std::string out = run(0.0);
    EXPECT_NE(out.find("\nCan't create profile file " + profile + "."), std::string::npos) << out;
    EXPECT_EQ(readFile(profile), "old profile\n");

    // The exchange file too, when its note cannot replace it.
    std::filesystem::remove(profile + ".tmp");
    writeFile(exchange, edgeAcrossAxis(3, 0));
    std::filesystem::create_directory(exchange + ".tmp");
    pickLightweight({{{0, 0, 0}}, {{10, 0, 0}}});
    run(0.0);
    EXPECT_EQ(readFile(exchange), edgeAcrossAxis(3, 0));
    EXPECT_EQ(readFile(profile), "3.000000 10.000000\n3.000000 10.000000\n")
        << "the profile is still cut";
}

// Radial edges through the arc's centre with elevation equal to the distance
// from the centre: a crossing's elevation tells where the chord ran.
std::vector<vog::products::SurfaceEdge> radialEdges(const std::vector<double>& angles, double r) {
    std::vector<vog::products::SurfaceEdge> edges;
    for (double a : angles)
        edges.push_back({{0, 0, 0, 2 * r * std::cos(a), 2 * r * std::sin(a), 2 * r}});
    return edges;
}

TEST(ProfileArcs, ArcsAreCutIntoChordsOfOneUnit) {
    // A counter-clockwise arc of radius 10 around the origin from angle 0.
    const double r = 10;
    for (double length : {3.5, 3.0, 0.8}) {
        double theta = length / r;
        ads_point p = {r, 0, 0}, q = {r * std::cos(theta), r * std::sin(theta), 0};
        double bulge = std::tan(theta / 4);
        // One edge in the middle of every expected chord.
        std::vector<double> chordEnds;
        for (int n = 1; n < length; ++n)
            chordEnds.push_back(n);
        chordEnds.push_back(length);
        std::vector<double> middles;
        double previous = 0;
        for (double end : chordEnds) {
            middles.push_back((previous + end) / 2 / r);
            previous = end;
        }
        std::vector<vog::products::ProfilePoint> points;
        double walked = vog::products::cutArcSegment(pointOf(p), pointOf(q), bulge, 50,
                                                     radialEdges(middles, r), points);
        EXPECT_NEAR(walked, length, 1e-12);
        ASSERT_EQ(points.size(), middles.size()) << length;
        previous = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            double half = (chordEnds[i] - previous) / 2 / r;
            EXPECT_NEAR(points[i].station, 50 + middles[i] * r, 1e-9) << length;
            EXPECT_NEAR(points[i].elevation, r * std::cos(half), 1e-9)
                << "chord " << i << " of " << length;
            previous = chordEnds[i];
        }
    }
}

TEST(ProfileArcs, ClockwiseArcOverAPlaneFollowsThePlane) {
    // Edges of a grid over the plane z = 2x + 3y + 5; a clockwise half circle.
    auto plane = [](double x, double y) { return 2 * x + 3 * y + 5; };
    std::vector<vog::products::SurfaceEdge> edges;
    for (int i = -30; i <= 30; ++i)
        for (int j = -30; j <= 30; ++j) {
            double x = i * 1.7, y = j * 1.7;
            edges.push_back({{x, y, plane(x, y), x + 1.7, y, plane(x + 1.7, y)}});
            edges.push_back({{x, y, plane(x, y), x, y + 1.7, plane(x, y + 1.7)}});
            edges.push_back({{x, y, plane(x, y), x + 1.7, y + 1.7, plane(x + 1.7, y + 1.7)}});
        }
    const double r = 20;
    ads_point p = {-r, 0, 0}, q = {r, 0, 0};
    std::vector<vog::products::ProfilePoint> points;
    double length = vog::products::cutArcSegment(pointOf(p), pointOf(q), -1.0, 0, edges,
                                                 points); // clockwise over the top
    EXPECT_NEAR(length, M_PI * r, 1e-9);
    ASSERT_GT(points.size(), 50u);
    // Where a station lies on the arc: clockwise from angle pi.
    const double chordError = 1.0 / (8 * r) * std::sqrt(13.0) + 1e-9;
    for (const auto& pt : points) {
        double angle = M_PI - pt.station / r;
        double x = r * std::cos(angle), y = r * std::sin(angle);
        EXPECT_NEAR(pt.elevation, plane(x, y), chordError) << pt.station;
        EXPECT_GE(pt.station, 0);
        EXPECT_LE(pt.station, length + 1e-9);
    }
}

TEST(ProfileOrder, RepeatedSelection) {
    using vog::products::profileWriteOrder;
    using P = vog::products::ProfilePoint;
    EXPECT_TRUE(profileWriteOrder({}).empty());
    EXPECT_EQ(profileWriteOrder({P{4, 0}}), (std::vector<std::size_t>{0, 0}));
    // Found out of order, with a tie at the top and one in the middle.
    std::vector<P> points = {P{5, 0}, P{1, 0}, P{9, 0}, P{5, 1}, P{9, 1}, P{3, 0}};
    EXPECT_EQ(profileWriteOrder(points), (std::vector<std::size_t>{1, 5, 0, 0, 0, 2}));
}

} // namespace
