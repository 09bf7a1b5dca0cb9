// The progress meter of long product steps: shown once, moved at most a few
// times a second over 0 to 1000, and always taken away again, also when the
// user breaks off or the writer fails. Run through a recording seam: no host.
#include "base/progress_steps.h"
#include "plugin/products/common/recording_drawing.h"
#include "products/common/surface_triangle.h"
#include "products/contours/contour_levels.h"
#include "products/contours/contour_tracer.h"
#include "products/volumes/volumes_grid.h"
#include "support/generators.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using vog::Status;

TEST(ProductProgressTest, ShownOnceMovedRarelyAndRestored) {
    vogtest::RecordingSeam seam;
    {
        vog::StepMeter progress(seam, L"Working", 200);
        EXPECT_TRUE(seam.shown);
        EXPECT_EQ(seam.labels, std::vector<std::wstring>{L"Working"});
        EXPECT_EQ(seam.range, 1000);
        // Thousands of reports in a moment move the meter not at all.
        for (int i = 0; i < 5000; ++i)
            progress.advance(i % 200);
        EXPECT_TRUE(seam.positions.empty());
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        progress.advance(100);
        EXPECT_EQ(seam.positions, std::vector<int>{500});
        // Beyond the total the meter stays full.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        progress.advance(1000);
        EXPECT_EQ(seam.positions.back(), 1000);
    }
    EXPECT_FALSE(seam.shown);
    EXPECT_EQ(seam.labels.size(), 1u);
    EXPECT_EQ(seam.hides, 1);
}

TEST(ProductProgressTest, AnEmptyOrHugeTotalStillGivesAMeterInRange) {
    vogtest::RecordingSeam seam;
    {
        vog::StepMeter none(seam, L"Nothing", 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        none.advance(5);
        EXPECT_EQ(seam.positions.back(), 1000);
    }
    {
        vog::StepMeter huge(seam, L"Huge", 1000000000000000ULL);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        huge.advance(500000000000000ULL);
        EXPECT_GT(seam.positions.back(), 0);
        EXPECT_LT(seam.positions.back(), 1000);
    }
    EXPECT_EQ(seam.hides, 2);
}

TEST(ProductProgressTest, ContourLevelsAndVolumeColumnsRestoreTheStatusBarEvenWhenStopped) {
    auto triangles = vogtest::makeSurface({vogtest::SurfaceKind::Jittered, 10, 8, 4});
    std::vector<vog::surface::Segment> rim;
    auto levels = vog::products::contourLevels(0, 10, 0.5);
    auto write = [](std::span<const vog::surface::Segment>) { return Status::ok; };
    vogtest::RecordingSeam seam;
    EXPECT_EQ(vog::products::traceContours(triangles, rim, levels, write, seam.seam()), Status::ok);
    EXPECT_EQ(seam.labels, std::vector<std::wstring>{L"Tracing contours"});
    EXPECT_FALSE(seam.shown);

    seam.polls = 0;
    seam.breakAtPoll = 3;
    EXPECT_EQ(vog::products::traceContours(triangles, rim, levels, write, seam.seam()),
              Status::cancelled);
    EXPECT_EQ(seam.labels.size(), 2u);
    EXPECT_FALSE(seam.shown);

    int written = 0;
    auto failing = [&](std::span<const vog::surface::Segment>) {
        return ++written == 2 ? Status::failed : Status::ok;
    };
    seam.breakAtPoll = 0;
    EXPECT_EQ(vog::products::traceContours(triangles, rim, levels, failing, seam.seam()),
              Status::failed);
    EXPECT_FALSE(seam.shown);

    std::vector<vog::products::SurfaceTriangle> surface;
    for (const auto& t : triangles)
        surface.push_back(vog::products::makeSurfaceTriangle(t));
    vog::products::VolumeTotals totals;
    seam.polls = 0;
    seam.breakAtPoll = 7;
    EXPECT_EQ(vog::products::integrateVolumes(surface, surface, 0.5, 1, seam.seam(), totals),
              Status::cancelled);
    EXPECT_EQ(seam.labels.back(), L"Calculating volume");
    EXPECT_FALSE(seam.shown);
    EXPECT_EQ(static_cast<int>(seam.labels.size()), seam.hides);
}

} // namespace
