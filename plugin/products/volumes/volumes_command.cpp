// The volumes command: cut, fill and net earthwork volume between an existing
// and a proposed surface, printed on the command line. It needs no open
// project and draws nothing.
#include "app/commands.h"
#include "app/dialog_checks.h"
#include "app/host_result.h"
#include "app/host_seam.h"
#include "products/common/surface_triangle.h"
#include "products/volumes/volumes_dialog.h"
#include "products/volumes/volumes_grid.h"

#include <cmath>
#include <new>
#include <string>

namespace vog {

namespace {

constexpr const wchar_t* kNoExisting =
    L"Existing Surface does not exist.\nTry creating the surface "
    L"first, or\ncheck the path and filename.\n";
constexpr const wchar_t* kNoProposed =
    L"Proposed Surface does not exist.\nTry creating the surface "
    L"first, or\ncheck the path and filename.\n";

// Loads one surface; false after the alert when it cannot be used.
bool loadForVolumes(const std::wstring& file, const wchar_t* missing,
                    std::vector<products::SurfaceTriangle>& triangles) {
    return products::loadSurfaceOrAlert(file, missing,
                                        L"Not enough memory to load the surface " + file + L".",
                                        app::hostSeam().messages, triangles);
}

} // namespace

int volumesCommand() {
    products::VolumesRequest request;
    if (!products::askVolumesRequest(request)) return RTCAN;

    // An interval of 0 or less would never move the grid; a negative fill
    // factor would turn fill into cut. Both are refused before any work.
    if (!(std::isfinite(request.interval) && request.interval > 0)) {
        acedAlert(L"Volume grid interval must be a positive number.");
        return RTERROR;
    }
    if (!(std::isfinite(request.fillFactor) && request.fillFactor >= 0)) {
        acedAlert(L"Fill factor must be a nonnegative number.");
        return RTERROR;
    }

    std::wstring existingFile = products::surfaceFileName(request.existingName);
    std::wstring proposedFile = products::surfaceFileName(request.proposedName);
    if (!fileOpensForReading(existingFile)) {
        acedAlert(kNoExisting);
        return RTERROR;
    }
    if (!fileOpensForReading(proposedFile)) {
        acedAlert(kNoProposed);
        return RTERROR;
    }

    std::vector<products::SurfaceTriangle> existing;
    std::vector<products::SurfaceTriangle> proposed;
    if (!loadForVolumes(existingFile, kNoExisting, existing)) return RTERROR;
    if (!loadForVolumes(proposedFile, kNoProposed, proposed)) return RTERROR;
    if (existing.empty() || proposed.empty()) {
        acutPrintf(L"\nSurface has no triangles.");
        return RTERROR;
    }

    products::SurfaceExtent extent;
    extent.include(existing);
    extent.include(proposed);
    if (!products::gridStepAdvances(extent, request.interval)) {
        acedAlert(L"Volume grid interval is too small for the coordinates of the surfaces.");
        return RTERROR;
    }

    acutPrintf(L"\nCalculating Volume...");
    products::VolumeTotals totals;
    const Status integrated = products::integrateVolumes(
        existing, proposed, request.interval, request.fillFactor, app::hostSeam(), totals);
    if (integrated != Status::ok) return app::toHostResult(integrated);

    bool feet = request.feetFlag == L"1";
    if (feet) {
        // Cubic feet to cubic yards.
        totals.cut /= 27;
        totals.fill /= 27;
        totals.net /= 27;
    }
    acutPrintf(L"Done\n");
    acutPrintf(L"Cut=%lf\tFill=%lf\tNet=%s %lf ", std::fabs(totals.cut), std::fabs(totals.fill),
               totals.net < 0 ? L"Cut" : L"Fill", std::fabs(totals.net));
    acutPrintf(feet ? L"Cubic Yards\n" : L"Cubic Meters\n");
    return RTNORM;
}

} // namespace vog
