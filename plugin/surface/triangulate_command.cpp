// The triangulate command: builds the project's surface from its point file.
// The steps hand files on: point file -> sorted point file (TEMP) -> ".ttin"
// (triangulation) -> ".ftin" (fault lines, or a copy) -> ".tin" (boundary and
// voids, or a copy). Each intermediate is deleted once the next exists, and
// on every way out. The ".tin" is written under a temporary name beside it
// and renamed over the old surface only when complete, so a failed, broken
// off or crashed build leaves the old surface as it was.
#include "app/commands.h"
#include "app/host_result.h"
#include "app/host_seam.h"
#include "base/wide_text.h"
#include "project/project_state.h"
#include "surface/clip/boundary_clip.h"
#include "surface/faults/fault_lines.h"
#include "surface/files/sort_work_files.h"
#include "surface/files/triangle_copy.h"
#include "surface/files/triangle_file.h"
#include "surface/files/work_file_lock.h"
#include "surface/prepare/elevation_range.h"
#include "surface/prepare/point_preparation.h"
#include "surface/triangulate_dialog.h"
#include "surface/triangulation.h"

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <system_error>

namespace vog {

namespace {

void deleteFiles(std::initializer_list<const std::wstring*> paths) {
    for (const std::wstring* path : paths) {
        std::error_code ignored;
        std::filesystem::remove(filePath(*path), ignored);
    }
}

// The end of a build broken off with the break key.
int cancelled() {
    acutPrintf(L"\n*Cancel*");
    return RTCAN;
}

// The end of a build whose step did not finish: a break is reported as such.
int stopped(Status status) {
    return status == Status::cancelled ? cancelled() : app::toHostResult(status);
}

} // namespace

int triangulateCommand() {
    if (!project::requireOpenProject(app::hostSeam().messages, project::kNoProjectMessage))
        return RTERROR;
    const surface::SortWorkFiles work = surface::sortWorkFiles();
    const Seam& seam = app::hostSeam();

    surface::ElevationRange limits;
    if (surface::readElevationRange(project::settings().pointFile, limits,
                                    surface::drawingDecimalText, seam.messages) != Status::ok)
        return RTERROR;
    if (!surface::askTriangulationOptions(limits)) return RTCAN;
    // The work files in TEMP are this build's until it returns.
    surface::WorkFileLock lock(surface::tempFolder());
    if (const Status locked = surface::lockWorkFiles(lock, seam); locked != Status::ok)
        return stopped(locked);
    // Work files left by a build that crashed, or links planted under their
    // names, are removed rather than written through.
    deleteFiles({&work.workFile, &work.sortedPointFile});

    const project::Settings settings = project::settings();
    const std::wstring& pointFile = settings.pointFile;
    std::optional<surface::ElevationLimits> kept;
    if (settings.limitElevations) kept = surface::elevationLimits(limits);
    if (surface::preparePoints(pointFile, kept, work, seam) != Status::ok) {
        deleteFiles({&work.workFile, &work.sortedPointFile});
        return RTERROR;
    }

    // The triangulation shows its alert when the point file has no
    // extension; the siblings are empty then.
    const std::wstring raw =
        project::siblingPath(pointFile, surface::kRawTriangleExtension).value_or(L"");
    const std::wstring faulted =
        project::siblingPath(pointFile, surface::kFaultedTriangleExtension).value_or(L"");
    const std::wstring surfaceFile =
        project::siblingPath(pointFile, surface::kSurfaceExtension).value_or(L"");
    const std::wstring newSurface = surfaceFile + L".tmp";
    // Intermediates left by a build that crashed, or a FIFO or link under
    // their names, are removed rather than opened: a FIFO would keep the
    // build waiting for a reader.
    if (!raw.empty()) deleteFiles({&raw, &faulted});

    acutPrintf(L"\nCreating Triangulation...");
    bool rawWrittenForm = false;
    const Status triangulated =
        surface::triangulateSortedPoints(pointFile, work.sortedPointFile, seam, &rawWrittenForm);
    deleteFiles({&work.workFile, &work.sortedPointFile});
    if (triangulated != Status::ok) {
        if (!raw.empty()) deleteFiles({&raw});
        return stopped(triangulated);
    }

    Status result;
    const bool faults = settings.useFaults;
    if (faults) {
        acutPrintf(L"\nApplying Fault Lines...");
        result = surface::applyFaultLines(raw, settings.faultFile, settings.faultDimension, seam);
    } else {
        result = surface::moveTriangleFile(raw, faulted, seam.messages, rawWrittenForm);
    }
    deleteFiles({&raw});
    if (result != Status::ok) {
        deleteFiles({&faulted});
        return stopped(result);
    }

    deleteFiles({&newSurface}); // a leftover, or a link, is not written through
    if (settings.useBoundary) {
        result = surface::clipTrianglesToBoundary(settings.boundaryFile, faulted, newSurface, seam);
    } else {
        // Without fault lines the ".ftin" is what the hand-on just gave.
        result = surface::moveTriangleFile(faulted, newSurface, seam.messages, !faults);
    }
    deleteFiles({&faulted});
    if (result != Status::ok) {
        deleteFiles({&newSurface});
        return RTERROR;
    }

    // A build that keeps no triangle (too few points, all on one line, none
    // inside the boundary) gives an empty surface, which the products report.
    std::error_code error;
    std::filesystem::rename(filePath(newSurface), filePath(surfaceFile), error);
    if (error) {
        deleteFiles({&newSurface});
        acedAlert((L"Error writing " + surfaceFile + L".").c_str());
        return RTERROR;
    }
    return RTNORM;
}

} // namespace vog
