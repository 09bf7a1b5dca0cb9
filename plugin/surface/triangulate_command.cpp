// The triangulate command: builds the project's surface from its point file.
// The steps hand files on: point file -> sorted point file (TEMP) -> ".ttin"
// (triangulation) -> ".ftin" (fault lines, or a copy) -> ".tin" (boundary and
// voids, or a copy). Each intermediate is deleted once the next exists, and
// on every way out. The ".tin" is written under a temporary name beside it
// and renamed over the old surface only when complete, so a failed, broken
// off or crashed build leaves the old surface as it was.
#include "app/commands.h"
#include "app/host_seam.h"
#include "base/wide_text.h"
#include "project/project_state.h"
#include "surface/clip/boundary_clip.h"
#include "surface/prepare/elevation_range.h"
#include "surface/faults/fault_lines.h"
#include "surface/prepare/point_preparation.h"
#include "surface/files/sort_work_files.h"
#include "surface/files/triangle_copy.h"
#include "surface/files/triangle_file.h"
#include "surface/triangulate_dialog.h"
#include "surface/triangulation.h"
#include "surface/files/work_file_lock.h"

#include <cmath>
#include <filesystem>
#include <initializer_list>
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

} // namespace

int triangulateCommand() {
    if (!project::requireOpenProject(app::hostSeam().messages, project::kNoProjectMessage))
        return RTERROR;
    const surface::SortWorkFiles work = surface::sortWorkFiles();

    surface::ElevationRange limits;
    if (surface::readElevationRange(project::settings().pointFile, limits) != 0) return RTERROR;
    if (!surface::askTriangulationOptions(limits)) return RTCAN;
    // The work files in TEMP are this build's until it returns.
    surface::WorkFileLock lock(surface::tempFolder());
    if (const int locked = surface::lockWorkFiles(lock); locked != RTNORM)
        return locked == RTCAN ? cancelled() : RTERROR;
    // Work files left by a build that crashed, or links planted under their
    // names, are removed rather than written through.
    deleteFiles({&work.workFile, &work.sortedPointFile});

    const project::Settings settings = project::settings();
    const std::wstring& pointFile = settings.pointFile;
    if (surface::preparePoints(pointFile, settings.limitElevations, limits.mine, limits.maxe,
                               work) != RTNORM) {
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
    const int triangulated =
        surface::triangulateSortedPoints(pointFile, work.sortedPointFile, &rawWrittenForm);
    deleteFiles({&work.workFile, &work.sortedPointFile});
    if (triangulated != 0) {
        if (!raw.empty()) deleteFiles({&raw});
        return triangulated == RTCAN ? cancelled() : RTERROR;
    }

    int result;
    const bool faults = settings.useFaults;
    if (faults) {
        acutPrintf(L"\nApplying Fault Lines...");
        result = surface::applyFaultLines(raw, settings.faultFile, settings.faultDimension);
    } else {
        result = surface::moveTriangleFile(raw, faulted, rawWrittenForm);
    }
    deleteFiles({&raw});
    if (result != 0) {
        deleteFiles({&faulted});
        return result == RTCAN ? cancelled() : RTERROR;
    }

    deleteFiles({&newSurface}); // a leftover, or a link, is not written through
    if (settings.useBoundary) {
        const int clipped =
            surface::clipTrianglesToBoundary(settings.boundaryFile, faulted, newSurface);
        result = clipped == RTNORM ? 0 : clipped;
    } else {
        // Without fault lines the ".ftin" is what the hand-on just gave.
        result = surface::moveTriangleFile(faulted, newSurface, !faults);
    }
    deleteFiles({&faulted});
    if (result != 0) {
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
