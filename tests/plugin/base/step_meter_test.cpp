// The progress meter of the long surface steps: shown while a step runs and
// taken away however it ends, a break included.
#include "app/host_seam.h"
#include "host/progress_meter.h"
#include "host_api.h"
#include "plugin/surface/surface_test_support.h"
#include "support/generators.h"
#include "surface/prepare/point_preparation.h"
#include "surface/triangulation.h"

namespace vog::surface {
namespace {

using testing::SurfaceFixture;
using testing::widePath;

class StepProgressTest : public SurfaceFixture {};

TEST_F(StepProgressTest, EachStepShowsTheMeterAndTakesItAway) {
    standin::resetProgressMeter();
    const auto points = writePointFile(testing::pointLines(vogtest::scatteredPoints(500, 3)));
    ASSERT_EQ(runPipeline(points), Status::ok);
    const standin::ProgressMeterState& meter = standin::progressMeter();
    EXPECT_EQ(meter.meters, 2); // preparation, triangulation
    EXPECT_EQ(meter.restores, meter.meters);
    EXPECT_FALSE(meter.shown);
    EXPECT_EQ(meter.label, L"Creating Triangulation");
    EXPECT_EQ(meter.maxPos, 1000); // the step meter's range
}

TEST_F(StepProgressTest, ABreakStillTakesTheMeterAway) {
    standin::resetProgressMeter();
    const auto points = writePointFile(testing::pointLines(vogtest::scatteredPoints(200, 4)));
    const SortWorkFiles files = sortWorkFiles();
    const Seam& seam = app::hostSeam();
    ASSERT_EQ(preparePoints(widePath(points), std::nullopt, files, seam), Status::ok);
    standin::breakAfterPolls(10);
    EXPECT_EQ(triangulateSortedPoints(widePath(points), files.sortedPointFile, seam),
              Status::cancelled);
    standin::breakAfterPolls(0);
    EXPECT_FALSE(standin::progressMeter().shown);
    EXPECT_EQ(standin::progressMeter().restores, standin::progressMeter().meters);
}

} // namespace
} // namespace vog::surface
