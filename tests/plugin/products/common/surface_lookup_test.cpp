// Point location and elevation lookup on surface triangles, and reading a
// triangle file into them.
#include "geometry/geometry.h"
#include "products/common/surface_triangle.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using vog::products::kVerticalEdge;
using vog::products::loadSurface;
using vog::products::makeSurfaceTriangle;
using vog::products::pointInTriangle;
using vog::products::pointOnTriangle;
using vog::products::pointOnTriangleEdge;
using vog::products::SurfaceExtent;
using vog::products::SurfaceLoad;
using vog::products::SurfaceTriangle;
using vog::products::triangleElevation;

TEST(SurfaceLookup, RecordHoldsPlaneBoxAndEdgeLines) {
    SurfaceTriangle t = makeSurfaceTriangle(0, 0, 1, 0, 10, 3, 10, 0, 6);
    static_assert(sizeof(SurfaceTriangle) == 25 * sizeof(double));
    // The plane passes through every corner; c is twice the signed plan area.
    for (auto [x, y, z] : {std::array{0.0, 0.0, 1.0}, {0.0, 10.0, 3.0}, {10.0, 0.0, 6.0}})
        EXPECT_DOUBLE_EQ(t.a * x + t.b * y + t.c * z + t.d, 0);
    EXPECT_DOUBLE_EQ(t.c, -100); // clockwise in plan
    EXPECT_EQ(t.minX, 0);
    EXPECT_EQ(t.maxX, 10);
    EXPECT_EQ(t.minY, 0);
    EXPECT_EQ(t.maxY, 10);
    EXPECT_EQ(t.minZ, 1);
    EXPECT_EQ(t.maxZ, 6);
    // Edge 1→2 is vertical, 2→3 runs y = 10 − x, 3→1 is horizontal.
    EXPECT_EQ(t.slope12, kVerticalEdge);
    EXPECT_EQ(t.intercept12, kVerticalEdge);
    EXPECT_EQ(t.slope23, -1);
    EXPECT_EQ(t.intercept23, 10);
    EXPECT_EQ(t.slope31, 0);
    EXPECT_EQ(t.intercept31, 0);
    // A vertical edge 3→1 carries the marker in its intercept too.
    EXPECT_EQ(makeSurfaceTriangle(0, 0, 0, 5, 5, 0, 0, 10, 0).intercept31, kVerticalEdge);
}

TEST(SurfaceLookup, LevelAndCollinearTrianglesGiveTheirLowestHeight) {
    SurfaceTriangle level = makeSurfaceTriangle(0, 0, 7.5, 0, 10, 7.5, 10, 0, 7.5);
    for (auto [x, y] : {std::pair{1.0, 1.0}, {0.0, 5.0}, {5.0, 0.0}, {5.0, 5.0}, {0.0, 0.0}}) {
        EXPECT_TRUE(pointOnTriangle(level, x, y)) << x << "," << y;
        EXPECT_EQ(triangleElevation(level, x, y), 7.5);
    }
    // Three corners on one line: no plane, the smallest height.
    SurfaceTriangle flat = makeSurfaceTriangle(0, 0, 4, 5, 5, 2, 10, 10, 9);
    EXPECT_EQ(flat.c, 0);
    EXPECT_EQ(triangleElevation(flat, 5, 5), 2);
    EXPECT_EQ(triangleElevation(flat, 2, 2), 2);
    EXPECT_TRUE(pointOnTriangle(flat, 2, 2)); // on its edge line
}

TEST(SurfaceLookup, InsidePointsInterpolateThePlane) {
    SurfaceTriangle t = makeSurfaceTriangle(0, 0, 0, 0, 10, 10, 10, 0, 20);
    EXPECT_EQ(pointInTriangle(t, 2, 3), 1);
    EXPECT_EQ(pointInTriangle(t, 6, 6), 0);
    EXPECT_EQ(pointInTriangle(t, -1, 3), 0);
    // z = 2x + y on this triangle.
    EXPECT_NEAR(triangleElevation(t, 2, 3), 7, 1e-12);
    double z = triangleElevation(t, 3.3, 1.7);
    EXPECT_GE(z, t.minZ);
    EXPECT_LE(z, t.maxZ);
    EXPECT_NEAR(z, 8.3, 1e-12);
}

TEST(SurfaceLookup, PointsOnVerticalAndHorizontalEdgesAreOnTheTriangle) {
    SurfaceTriangle t = makeSurfaceTriangle(0, 0, 0, 0, 10, 10, 10, 0, 20);
    // On the vertical edge x = 0 the ray crosses two edges, on the horizontal
    // edge y = 0 none: the crossing test says outside, the edge test on.
    for (auto [x, y] : {std::pair{0.0, 5.0}, {5.0, 0.0}}) {
        EXPECT_EQ(pointInTriangle(t, x, y), 0) << x << "," << y;
        EXPECT_EQ(pointOnTriangleEdge(t, x, y), 1) << x << "," << y;
        EXPECT_TRUE(pointOnTriangle(t, x, y)) << x << "," << y;
    }
    EXPECT_NEAR(triangleElevation(t, 0, 5), 5, 1e-12);
    EXPECT_NEAR(triangleElevation(t, 5, 0), 10, 1e-12);
    // Beyond the span of those edges nothing holds.
    EXPECT_EQ(pointOnTriangleEdge(t, 0, 11), 0);
    EXPECT_EQ(pointOnTriangleEdge(t, -1, 0), 0);
    // Corners are on the triangle.
    EXPECT_TRUE(pointOnTriangle(t, 0, 10));
    EXPECT_TRUE(pointOnTriangle(t, 10, 0));
}

TEST(SurfaceLookup, SlopedEdgeLineCountsInsideTheBoxOnly) {
    // Edge 1→2 runs along y = x / 2 from (0, 0) to (4, 2); its line goes on
    // to (8, 4), outside the triangle but inside its box.
    SurfaceTriangle t = makeSurfaceTriangle(0, 0, 0, 4, 2, 2, 10, 10, 0);
    EXPECT_EQ(pointInTriangle(t, 8, 4), 0);
    EXPECT_EQ(pointOnTriangleEdge(t, 8, 4), 1);
    EXPECT_TRUE(pointOnTriangle(t, 8, 4));
    // The plane's value there, extrapolated: z = x − y on this triangle.
    EXPECT_NEAR(triangleElevation(t, 8, 4), 4, 1e-12);
    // Further along the line the box ends it.
    EXPECT_EQ(pointOnTriangleEdge(t, 12, 6), 1);
    EXPECT_FALSE(pointOnTriangle(t, 12, 6));
}

TEST(SurfaceLookup, PointsOutsideTheBoxAreNeverOnTheTriangle) {
    SurfaceTriangle t = makeSurfaceTriangle(0, 0, 0, 0, 10, 10, 10, 0, 20);
    for (auto [x, y] :
         {std::pair{-0.000001, 5.0}, {5.0, -0.000001}, {10.000001, 0.0}, {0.0, 10.5}, {-3.0, -3.0}})
        EXPECT_FALSE(pointOnTriangle(t, x, y)) << x << "," << y;
}

TEST(SurfaceLookup, ExtentCoversEveryCorner) {
    SurfaceExtent extent;
    extent.include(makeSurfaceTriangle(5, 6, 7, 1, 9, 3, 4, -2, 8));
    extent.include(makeSurfaceTriangle(20, 0, -1, 0, 0, 0, 0, 1, 0));
    EXPECT_FALSE(extent.empty);
    EXPECT_EQ(extent.minX, 0);
    EXPECT_EQ(extent.maxX, 20);
    EXPECT_EQ(extent.minY, -2);
    EXPECT_EQ(extent.maxY, 9);
    EXPECT_EQ(extent.minZ, -1);
    EXPECT_EQ(extent.maxZ, 8);
    EXPECT_TRUE(vog::products::gridStepAdvances(extent, 0.5));
    EXPECT_FALSE(vog::products::gridStepAdvances(extent, 0));
    EXPECT_FALSE(vog::products::gridStepAdvances(extent, -1));
    EXPECT_FALSE(vog::products::gridStepAdvances(extent, std::nan("")));
    SurfaceExtent far;
    far.include(makeSurfaceTriangle(1e17, 0, 0, 1e17 + 64, 0, 0, 1e17, 64, 0));
    EXPECT_FALSE(vog::products::gridStepAdvances(far, 1)); // 1e17 + 1 is 1e17
}

class SurfaceLookupFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("vog-lookup-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::wstring write(const std::string& text) {
        std::filesystem::path path = dir_ / "s.tin";
        std::ofstream(path, std::ios::binary) << text;
        return path.wstring();
    }
    std::filesystem::path dir_;
};

TEST_F(SurfaceLookupFile, ReadsTrianglesInFileOrder) {
    SurfaceLoad load = loadSurface(write("0 0 1 0 1 1 1 0 1\n"
                                         "1 0 2 0 1 2 1 1 2\n"
                                         "5 5 5 5 6 5 6 5 5"));
    ASSERT_EQ(load.status, SurfaceLoad::Status::Loaded);
    // The last record has no line end and is not used.
    ASSERT_EQ(load.triangles.size(), 2u);
    EXPECT_EQ(load.triangles[0].z1, 1);
    EXPECT_EQ(load.triangles[1].x1, 1);
    EXPECT_EQ(load.triangles[1].maxY, 1);
}

TEST_F(SurfaceLookupFile, EmptyMissingAndBadFiles) {
    SurfaceLoad empty = loadSurface(write(""));
    EXPECT_EQ(empty.status, SurfaceLoad::Status::Loaded);
    EXPECT_TRUE(empty.triangles.empty());

    EXPECT_EQ(loadSurface((dir_ / "none.tin").wstring()).status, SurfaceLoad::Status::CannotOpen);
    EXPECT_EQ(loadSurface(dir_.wstring()).status, SurfaceLoad::Status::CannotOpen);

    SurfaceLoad bad = loadSurface(write("0 0 1 0 1 1 1 0 1\n0 0 1 0 x 1 1 0 1\n"));
    EXPECT_EQ(bad.status, SurfaceLoad::Status::Malformed);
    EXPECT_TRUE(bad.triangles.empty());
    EXPECT_NE(bad.message.find(L"Line 2"), std::wstring::npos)
        << std::string(bad.message.begin(), bad.message.end());
    EXPECT_NE(bad.message.find(L"s.tin"), std::wstring::npos);
}

} // namespace
