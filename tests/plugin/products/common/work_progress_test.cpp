// The progress meter of long product steps: shown once, moved at most a few
// times a second, and always taken away again, also when the user breaks
// off or the writer fails.
#include "support/generators.h"
#include "products/contours/contour_levels.h"
#include "products/contours/contour_tracer.h"
#include "products/common/surface_triangle.h"
#include "products/volumes/volumes_grid.h"
#include "products/common/work_progress.h"
#include "host/progress_meter.h"
#include "host/standin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class WorkProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetHost();
        standin::resetProgressMeter();
    }
    void TearDown() override {
        standin::breakAfterPolls(0);
        standin::resetProgressMeter();
        standin::resetHost();
    }
};

TEST_F(WorkProgressTest, ShownOnceMovedRarelyAndRestored) {
    {
        vog::products::WorkProgress progress(L"Working", 200);
        EXPECT_TRUE(standin::progressMeter().shown);
        EXPECT_EQ(standin::progressMeter().label, L"Working");
        // Thousands of reports in a moment move the meter not at all.
        for (int i = 0; i < 5000; ++i)
            progress.advance(i % 200);
        EXPECT_EQ(standin::progressMeter().updates, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        progress.advance(100);
        EXPECT_EQ(standin::progressMeter().updates, 1);
        EXPECT_EQ(standin::progressMeter().pos,
                  standin::progressMeter().minPos +
                      (standin::progressMeter().maxPos - standin::progressMeter().minPos) / 2);
        // Beyond the total the meter stays full.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        progress.advance(1000);
        EXPECT_EQ(standin::progressMeter().pos, standin::progressMeter().maxPos);
    }
    EXPECT_FALSE(standin::progressMeter().shown);
    EXPECT_EQ(standin::progressMeter().meters, 1);
    EXPECT_EQ(standin::progressMeter().restores, 1);
}

TEST_F(WorkProgressTest, AnEmptyOrHugeTotalStillGivesAMeterInRange) {
    {
        vog::products::WorkProgress none(L"Nothing", 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        none.advance(5);
        EXPECT_EQ(standin::progressMeter().pos, standin::progressMeter().maxPos);
    }
    {
        vog::products::WorkProgress huge(L"Huge", 1000000000000000LL);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        huge.advance(500000000000000LL);
        EXPECT_GT(standin::progressMeter().pos, standin::progressMeter().minPos);
        EXPECT_LT(standin::progressMeter().pos, standin::progressMeter().maxPos);
    }
    EXPECT_EQ(standin::progressMeter().restores, 2);
}

TEST_F(WorkProgressTest, ContourLevelsAndVolumeColumnsRestoreTheStatusBarEvenWhenStopped) {
    auto triangles = vogtest::makeSurface({vogtest::SurfaceKind::Jittered, 10, 8, 4});
    std::vector<vog::surface::Segment> rim;
    auto levels = vog::products::contourLevels(0, 10, 0.5);
    auto write = [](std::span<const vog::surface::Segment>) { return RTNORM; };
    EXPECT_EQ(vog::products::traceContours(triangles, rim, levels, write), RTNORM);
    EXPECT_EQ(standin::progressMeter().meters, 1);
    EXPECT_FALSE(standin::progressMeter().shown);

    standin::breakAfterPolls(3);
    EXPECT_EQ(vog::products::traceContours(triangles, rim, levels, write), RTCAN);
    EXPECT_EQ(standin::progressMeter().meters, 2);
    EXPECT_FALSE(standin::progressMeter().shown);

    int written = 0;
    auto failing = [&](std::span<const vog::surface::Segment>) {
        return ++written == 2 ? RTERROR : RTNORM;
    };
    EXPECT_EQ(vog::products::traceContours(triangles, rim, levels, failing), RTERROR);
    EXPECT_FALSE(standin::progressMeter().shown);

    std::vector<vog::products::SurfaceTriangle> surface;
    for (const auto& t : triangles)
        surface.push_back(vog::products::makeSurfaceTriangle(t));
    vog::products::VolumeTotals totals;
    standin::breakAfterPolls(7);
    EXPECT_FALSE(vog::products::integrateVolumes(surface, surface, 0.5, 1, totals));
    EXPECT_FALSE(standin::progressMeter().shown);
    EXPECT_EQ(standin::progressMeter().meters, standin::progressMeter().restores);
}

} // namespace
