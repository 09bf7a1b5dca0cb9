// The progress meter of the long surface steps: shown while a step runs and
// taken away however it ends, a break included.
#include "support/generators.h"
#include "host_api.h"
#include "host/progress_meter.h"
#include "surface/prepare/point_preparation.h"
#include "surface/triangulation.h"
#include "plugin/surface/surface_test_support.h"

namespace vog::surface {
namespace {

using testing::SurfaceFixture;
using testing::widePath;

class StepProgressTest : public SurfaceFixture {};

TEST_F(StepProgressTest, EachStepShowsTheMeterAndTakesItAway) {
    standin::resetProgressMeter();
    const auto points = writePointFile(testing::pointLines(vogtest::scatteredPoints(500, 3)));
    ASSERT_EQ(runPipeline(points), 0);
    const standin::ProgressMeterState& meter = standin::progressMeter();
    EXPECT_EQ(meter.meters, 2); // preparation, triangulation
    EXPECT_EQ(meter.restores, meter.meters);
    EXPECT_FALSE(meter.shown);
    EXPECT_EQ(meter.label, L"Creating Triangulation");
    EXPECT_EQ(meter.maxPos, 100);
}

TEST_F(StepProgressTest, ABreakStillTakesTheMeterAway) {
    standin::resetProgressMeter();
    const auto points = writePointFile(testing::pointLines(vogtest::scatteredPoints(200, 4)));
    const SortWorkFiles files = sortWorkFiles();
    ASSERT_EQ(preparePoints(widePath(points), false, L"0", L"0", files), RTNORM);
    standin::breakAfterPolls(10);
    EXPECT_EQ(triangulateSortedPoints(widePath(points), files.sortedPointFile), RTCAN);
    standin::breakAfterPolls(0);
    EXPECT_FALSE(standin::progressMeter().shown);
    EXPECT_EQ(standin::progressMeter().restores, standin::progressMeter().meters);
}

} // namespace
} // namespace vog::surface
