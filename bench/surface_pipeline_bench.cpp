// The triangulate command's pipeline from a point file to its ".tin", with
// neither fault lines nor a boundary, as the command runs it: point
// preparation, the triangulation, and handing the surface on to ".ftin" and
// ".tin" (checked, then renamed when already in the writer's form).
// Prints the time of each step; the work files go to the folder in TEMP.
//
//   vog_triangulate_file points.xyz
#include "app/host_seam.h"
#include "base/wide_text.h"
#include "host_api.h"
#include "project/project_state.h"
#include "surface/files/sort_work_files.h"
#include "surface/files/triangle_copy.h"
#include "surface/files/triangle_file.h"
#include "surface/prepare/point_preparation.h"
#include "surface/triangulation.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

using namespace vog::surface;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s points.xyz\n", argv[0]);
        return 2;
    }
    const std::wstring pointFile = vog::fromUtf8(argv[1]);
    const SortWorkFiles work = sortWorkFiles();
    const std::wstring raw = *vog::project::siblingPath(pointFile, kRawTriangleExtension);
    const std::wstring faulted = *vog::project::siblingPath(pointFile, kFaultedTriangleExtension);
    const std::wstring surface = *vog::project::siblingPath(pointFile, kSurfaceExtension);

    const auto start = std::chrono::steady_clock::now();
    auto step = start;
    const vog::Seam& seam = vog::app::hostSeam();
    if (preparePoints(pointFile, std::nullopt, work, seam) != vog::Status::ok) return 1;
    const double prepared = secondsSince(step);
    step = std::chrono::steady_clock::now();
    bool writtenForm = false;
    const vog::Status triangulated =
        triangulateSortedPoints(pointFile, work.sortedPointFile, seam, &writtenForm);
    std::filesystem::remove(vog::filePath(work.workFile));
    std::filesystem::remove(vog::filePath(work.sortedPointFile));
    if (triangulated != vog::Status::ok) return 1;
    const double triangulation = secondsSince(step);
    step = std::chrono::steady_clock::now();
    if (moveTriangleFile(raw, faulted, seam.messages, writtenForm) != vog::Status::ok) return 1;
    if (moveTriangleFile(faulted, surface, seam.messages, true) != vog::Status::ok) return 1;
    const double copies = secondsSince(step);
    std::printf("\npreparation %.2f s, triangulation %.2f s, copies %.2f s, total %.2f s\n",
                prepared, triangulation, copies, secondsSince(start));
    return 0;
}
