// Contour polylines: the index classification, the polyline entities and
// their failures, and rounding.
#include "plugin/products/contours/contour_test_surfaces.h"

#include "app/host_drawing.h"
#include "products/contours/contour_smoothing.h"
#include "products/contours/contour_writer.h"
#include "products/contours/index_contours.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace vog::products;
using vogtest::drawnPolylines;
using vogtest::Point3;

class ContourOutputTest : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetHost(); }
    void TearDown() override { standin::resetHost(); }

    static WriterParameters parameters(const wchar_t* rounding = L"0") {
        WriterParameters p;
        p.rounding = rounding;
        p.contourWidth = 0.25;
        p.indexWidth = 1.5;
        p.contourLayer = L"Reg";
        p.indexLayer = L"Idx";
        p.indexInterval = 20;
        return p;
    }
    static std::vector<Segment> chainThrough(const std::vector<Point3>& points) {
        std::vector<Segment> chain;
        for (std::size_t i = 1; i < points.size(); ++i)
            chain.push_back({points[i - 1], points[i]});
        return chain;
    }
};

TEST(ContourIndex, EffectiveIndexIntervals) {
    EXPECT_EQ(effectiveIndexInterval(25, 10).value, 20);
    EXPECT_FALSE(effectiveIndexInterval(25, 10).doubled);
    EXPECT_EQ(effectiveIndexInterval(29.9995, 10).value, 30) << "within 0.9999 of 3";
    EXPECT_EQ(effectiveIndexInterval(29.998, 10).value, 20);
    EXPECT_EQ(effectiveIndexInterval(10, 10).value, 20);
    EXPECT_TRUE(effectiveIndexInterval(10, 10).doubled);
    EXPECT_EQ(effectiveIndexInterval(50, 10).value, 50);
    // Smaller than the interval: no index contours, and no division by zero.
    EXPECT_EQ(effectiveIndexInterval(5, 10).value, 0);
    for (double z : {0.0, 10.0, 20.0, -40.0})
        EXPECT_FALSE(isIndexContour(z, 0)) << z;
}

TEST(ContourIndex, MultiplesOfTheEffectiveInterval) {
    for (double z : {0.0, 20.0, 40.0, -20.0, -100.0, 39.999999, 40.000001, 0.1 * 3 * 200})
        EXPECT_TRUE(isIndexContour(z, 20)) << z;
    for (double z : {10.0, 30.0, -10.0, 39.99, 20.01, 1.0})
        EXPECT_FALSE(isIndexContour(z, 20)) << z;
    EXPECT_FALSE(isIndexContour(20, std::numeric_limits<double>::infinity()));
}

TEST_F(ContourOutputTest, APolylineOnItsLayerThroughTheChainPoints) {
    std::vector<Point3> ring = {{0, 0, 30}, {4, 0, 30}, {4, 3, 30}, {0, 0, 30}};
    ASSERT_EQ(writeContourPolyline(chainThrough(ring), parameters(), vog::app::hostDrawing()),
              vog::Status::ok);
    std::vector<Point3> index = {{1, 1, 40}, {2, 2, 40}};
    ASSERT_EQ(writeContourPolyline(chainThrough(index), parameters(), vog::app::hostDrawing()),
              vog::Status::ok);

    auto drawn = drawnPolylines(standin::database());
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].layer, L"Reg");
    EXPECT_EQ(drawn[0].width, 0.25);
    EXPECT_EQ(drawn[0].elevation, 30);
    EXPECT_FALSE(drawn[0].hasFlags) << "an open polyline, even when closed in shape";
    EXPECT_EQ(drawn[0].vertices, ring);
    EXPECT_TRUE(drawn[0].ended);
    EXPECT_EQ(drawn[1].layer, L"Idx");
    EXPECT_EQ(drawn[1].width, 1.5);
    EXPECT_EQ(drawn[1].vertices, index);
    const standin::Entity& header = standin::database().entities[0];
    EXPECT_EQ(header.real(41), 0.25);
    EXPECT_EQ(header.integer(66), 1);
}

TEST_F(ContourOutputTest, AFailedStepStopsWithItsMessage) {
    standin::OutputCapture capture;
    WriterParameters p = parameters();
    p.contourLayer = L""; // the host makes no entity without a layer
    EXPECT_EQ(
        writeContourPolyline(chainThrough({{0, 0, 10}, {1, 0, 10}}), p, vog::app::hostDrawing()),
        vog::Status::failed);
    EXPECT_EQ(capture.text(), "VOG: Unable to start contour\n");
    EXPECT_TRUE(standin::database().entities.empty());

    capture.clear();
    double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Point3> bad = {{0, 0, 10}, {1, 0, 10}, {nan, 0, 10}, {3, 0, 10}};
    EXPECT_EQ(writeContourPolyline(chainThrough(bad), parameters(), vog::app::hostDrawing()),
              vog::Status::failed);
    EXPECT_EQ(capture.text(), "Unable to add contour vertex.\n");
    auto drawn = drawnPolylines(standin::database());
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].vertices.size(), 2u) << "what was made stays";
    EXPECT_FALSE(drawn[0].ended);
}

TEST(ContourSmoothing, StepCountsGrowWithThePieceLength) {
    EXPECT_EQ(pieceStepCount(60), 15);
    EXPECT_EQ(pieceStepCount(800), 10);
    EXPECT_EQ(pieceStepCount(2500), 25);
    EXPECT_EQ(pieceStepCount(30), 15);
    EXPECT_EQ(pieceStepCount(24.9), 24);
    EXPECT_EQ(pieceStepCount(0.3), 1);

    auto pieceOf = [](double length) {
        std::vector<Point3> points;
        Point3 p1{0, 0, 7}, p2{length, 0, 7};
        splinePiece(Point3{-1, 0, 7}, p1, p2, Point3{length + 1, 0, 7}, points);
        return points;
    };
    EXPECT_EQ(pieceOf(60).size(), 16u);
    EXPECT_EQ(pieceOf(800).size(), 11u);
    EXPECT_EQ(pieceOf(2500).size(), 26u);
    // Shorter than 2: five steps of 0.2, the last at the piece's end.
    for (double length : {1.5, 0.5}) {
        std::vector<Point3> points = pieceOf(length);
        ASSERT_EQ(points.size(), 6u) << length;
        EXPECT_EQ(points.front(), (Point3{0, 0, 7}));
        EXPECT_NEAR(points.back().x, length, 1e-12);
        for (const Point3& p : points) {
            EXPECT_EQ(p.y, 0);
            EXPECT_EQ(p.z, 7);
        }
    }
    // A long piece keeps every point.
    EXPECT_EQ(pieceOf(250000).size(), 2501u);
}

TEST(ContourSmoothing, TheRoundedChainPassesThroughTheChainsVertices) {
    // One segment: the guide points continue it, the curve stays on it.
    std::vector<Segment> single = {{Point3{0, 0, 5}, Point3{30, 40, 5}}};
    std::vector<Segment> rounded;
    smoothChain(single, rounded);
    ASSERT_EQ(rounded.size(), 12u) << "a piece of length 50: 12 steps";
    for (const Segment& s : rounded) {
        EXPECT_NEAR(s.b.x * 4, s.b.y * 3, 1e-9);
        EXPECT_EQ(s.b.z, 5);
    }
    EXPECT_NEAR(rounded.back().b.x, 30, 1e-9);
    EXPECT_NEAR(rounded.back().b.y, 40, 1e-9);

    // A zigzag of every length class: each vertex starts a piece, and each
    // join appears twice in a row.
    std::vector<Point3> v = {{0, 0, 2}, {10, 0, 2}, {13, 3, 2}, {14, 1, 2}, {60, 1, 2}, {61, 3, 2}};
    std::vector<Segment> chain;
    for (std::size_t i = 1; i < v.size(); ++i)
        chain.push_back({v[i - 1], v[i]});
    smoothChain(chain, rounded);
    std::vector<Point3> points = {rounded.front().a};
    for (const Segment& s : rounded)
        points.push_back(s.b);
    std::size_t expected = 0;
    for (std::size_t k = 0; k + 1 < v.size(); ++k) {
        double d = std::hypot(v[k + 1].x - v[k].x, v[k + 1].y - v[k].y);
        int n = pieceStepCount(d);
        expected += (n == 1 ? 5 : n) + 1;
    }
    ASSERT_EQ(points.size(), expected);
    std::size_t at = 0;
    for (std::size_t k = 0; k + 1 < v.size(); ++k) {
        EXPECT_EQ(points[at], v[k]) << "piece " << k << " starts at its vertex";
        if (k > 0) {
            EXPECT_NEAR(points[at - 1].x, v[k].x, 1e-9) << "the join twice";
            EXPECT_NEAR(points[at - 1].y, v[k].y, 1e-9);
        }
        int n = pieceStepCount(std::hypot(v[k + 1].x - v[k].x, v[k + 1].y - v[k].y));
        at += (n == 1 ? 5 : n) + 1;
    }
    EXPECT_NEAR(points.back().x, 61, 1e-9);
    EXPECT_NEAR(points.back().y, 3, 1e-9);
}

TEST_F(ContourOutputTest, RoundingIsAskedForByTheRoundingMode) {
    std::vector<Point3> v = {{0, 0, 10}, {10, 0, 10}, {10, 10, 10}};
    std::vector<Segment> rounded;
    ASSERT_EQ(drawContour(chainThrough(v), parameters(L"0"), rounded, vog::app::hostDrawing()),
              vog::Status::ok);
    ASSERT_EQ(drawContour(chainThrough(v), parameters(L"1"), rounded, vog::app::hostDrawing()),
              vog::Status::ok);
    auto drawn = drawnPolylines(standin::database());
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].vertices, v);
    EXPECT_EQ(drawn[1].vertices.size(), 2u * 11u) << "two pieces of length 10, 10 steps each";
    EXPECT_EQ(drawn[1].vertices.front(), v[0]);
    EXPECT_EQ(drawn[1].vertices[11], v[1]);
    // The curve bends into the corner: some of its points lie on neither
    // straight leg.
    bool offTheLegs = false;
    for (const Point3& p : drawn[1].vertices)
        offTheLegs = offTheLegs || (std::fabs(p.y) > 1e-6 && std::fabs(p.x - 10) > 1e-6);
    EXPECT_TRUE(offTheLegs);
}

} // namespace
