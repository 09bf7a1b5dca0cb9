// The rmesh command: the open project's surface as a rectangular grid of
// three-dimensional polylines on the mesh layer, optionally with a skirt down
// to a base elevation.
#include "app/commands.h"
#include "app/dialog_checks.h"
#include "app/host_drawing.h"
#include "app/host_result.h"
#include "app/host_seam.h"
#include "base/progress_steps.h"
#include "products/common/surface_triangle.h"
#include "products/mesh/mesh_dialog.h"
#include "products/mesh/mesh_grid.h"
#include "products/mesh/mesh_lines.h"
#include "project/project_state.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vog {

namespace {

using products::SurfaceTriangle;
using surface::Point3;
using surface::Segment;

constexpr const wchar_t* kNoTriangleFile = L"Could not open triangle file.  Command terminates.\n";
constexpr const wchar_t* kNoSurfaceMemory =
    L"Memory allocation failed for tin in rmesh:generategrid().";
constexpr const wchar_t* kNoLineMemory =
    L"Memory allocation failed for EDGEYs in rmesh:generategrid().";

// The room the line buffer starts with; longer lines make it grow.
constexpr std::size_t kInitialLineRoom = 160000;

// The project's surface, triangulated first when its file is missing. False
// after the alert when it cannot be had.
bool loadProjectSurface(std::vector<SurfaceTriangle>& triangles) {
    std::optional<std::wstring> path =
        project::projectSiblingPath(app::hostSeam().messages, surface::kSurfaceExtension);
    if (!path) return false;
    if (!fileOpensForReading(*path)) {
        acedAlert(L"Triangle file does not exist.  You will automatically be taken to "
                  L"triangulation.\n");
        triangulateCommand();
        if (!fileOpensForReading(*path)) {
            acedAlert(kNoTriangleFile);
            return false;
        }
    }
    return products::loadSurfaceOrAlert(*path, kNoTriangleFile, kNoSurfaceMemory,
                                        app::hostSeam().messages, triangles);
}

// The lowest height, proposed as the skirt's base elevation at every run.
void proposeBaseElevation(double lowest) {
    std::array<ACHAR, 64> text{};
    if (acdbRToS(lowest, 2, -1, text.data(), text.size()) == RTNORM)
        project::setSetting(L"dbe", text.data());
}

// The mesh's parameters from the accepted settings.
struct MeshParameters {
    double interval = 0;
    double heightFactor = 1;
    bool skirt = false;
    double base = 0; // already times the height factor
    std::wstring layer;
};

// The largest grid drawn, 2000 x 2000 points; each point is a vertex of a
// line in both directions, so the drawing gets twice as many vertices.
constexpr double kMostMeshPoints = 4'000'000;

// Values that were typed without leaving their field reach the command
// unchecked; those the grid cannot work with are refused here, before
// anything is erased or drawn.
bool readParameters(const products::SurfaceExtent& extent, MeshParameters& parameters) {
    const project::Settings settings = project::settings();
    std::optional<double> interval = numericValue(settings.meshSpacing.text);
    if (!interval || !(std::isfinite(*interval) && *interval > 0)) {
        acedAlert(L"Mesh grid interval must be a positive number.");
        return false;
    }
    std::optional<double> factor = numericValue(settings.meshHeightFactor.text);
    if (!factor || !(std::isfinite(*factor) && *factor > 0)) {
        acedAlert(L"Mesh height factor must be a positive number.");
        return false;
    }
    parameters.interval = *interval;
    parameters.heightFactor = *factor;
    parameters.skirt = settings.meshSkirt;
    if (parameters.skirt) {
        std::optional<double> base = numericValue(settings.meshBase.text);
        if (!base || !std::isfinite(*base)) {
            acedAlert(L"Mesh base elevation must be a number.");
            return false;
        }
        parameters.base = *base * parameters.heightFactor;
    }
    parameters.layer = settings.meshLayer;
    if (!products::gridStepAdvances(extent, parameters.interval)) {
        acedAlert(L"Mesh grid interval is too small for the coordinates of the surface.");
        return false;
    }
    // Every grid point becomes two vertices in the drawing; a grid of more
    // points than the drawing can hold is refused before anything is drawn.
    const double points = (std::floor((extent.maxX - extent.minX) / parameters.interval) + 1) *
                          (std::floor((extent.maxY - extent.minY) / parameters.interval) + 1);
    if (!(points <= kMostMeshPoints)) {
        acedAlert(L"Mesh grid interval is too small for the size of the surface: the grid "
                  L"would have more than 4000000 points.");
        return false;
    }
    return true;
}

// Draws the lines of one direction; the base points below the start of each
// line are collected when asked for. Cancelled on a user break, failed after
// a reported failure.
Status drawLines(const products::SurfaceGrid& surface, const products::SurfaceExtent& extent,
                 const MeshParameters& parameters, products::GridDirection direction,
                 std::vector<Segment>& line, std::vector<Point3>* basePoints, StepMeter& progress,
                 std::uint64_t& linesDone) {
    const Seam& seam = app::hostSeam();
    bool alongY = direction == products::GridDirection::AlongY;
    double first = alongY ? extent.minX : extent.minY;
    double last = alongY ? extent.maxX : extent.maxY;
    double from = alongY ? extent.minY : extent.minX;
    double to = alongY ? extent.maxY : extent.maxX;
    for (double across = first; across <= last; across += parameters.interval) {
        if (seam.cancellation.requested()) return Status::cancelled;
        progress.advance(linesDone++);
        if (products::sampleGridLine(surface, direction, across, from, to, parameters.interval,
                                     parameters.heightFactor, seam.cancellation,
                                     line) != Status::ok)
            return Status::cancelled;
        if (line.empty()) continue;
        std::optional<products::SkirtEnds> skirt;
        if (parameters.skirt) {
            Point3 start = line.front().a;
            Point3 end = line.back().b;
            start.z = end.z = parameters.base;
            skirt = products::SkirtEnds{start, end};
            if (basePoints) basePoints->push_back(start);
        }
        if (products::writeMeshLine(line, parameters.layer, skirt, app::hostDrawing()) !=
            Status::ok)
            return Status::failed;
    }
    return Status::ok;
}

Status drawMesh(const std::vector<SurfaceTriangle>& surface, const products::SurfaceExtent& extent,
                const MeshParameters& parameters, std::vector<Segment>& line) {
    std::vector<Point3> basePoints;
    // The triangles are looked up through a grid of cells, so that a sample
    // costs the same however large the surface is.
    const products::SurfaceGrid grid = products::buildSurfaceGrid(surface);
    const double lines = std::floor((extent.maxX - extent.minX) / parameters.interval) +
                         std::floor((extent.maxY - extent.minY) / parameters.interval) + 2;
    StepMeter progress(app::hostSeam().progress, L"Generating grid",
                       static_cast<std::uint64_t>(std::min(lines, 1e15)));
    std::uint64_t linesDone = 0;
    Status status = drawLines(grid, extent, parameters, products::GridDirection::AlongY, line,
                              &basePoints, progress, linesDone);
    if (status != Status::ok) return status;
    status = drawLines(grid, extent, parameters, products::GridDirection::AlongX, line, nullptr,
                       progress, linesDone);
    if (status != Status::ok) return status;
    if (parameters.skirt && !basePoints.empty())
        return products::writeSkirtBaseLine(basePoints, parameters.layer, app::hostDrawing());
    return Status::ok;
}

} // namespace

int rmeshCommand() {
    if (!project::requireOpenProject(app::hostSeam().messages, project::kNoProjectMessage))
        return RTERROR;

    std::vector<SurfaceTriangle> surface;
    if (!loadProjectSurface(surface)) return RTERROR;
    if (surface.empty()) {
        acutPrintf(L"\nSurface has no triangles.");
        return 0;
    }
    products::SurfaceExtent extent;
    extent.include(surface);

    proposeBaseElevation(extent.minZ);
    if (!products::askMeshSettings()) return RTCAN;

    MeshParameters parameters;
    if (!readParameters(extent, parameters)) return RTERROR;

    std::vector<Segment> line;
    try {
        line.reserve(kInitialLineRoom);
    } catch (const std::bad_alloc&) {
        acedAlert(kNoLineMemory);
        return RTERROR;
    }

    products::Drawing& drawing = app::hostDrawing();
    drawing.eraseLayer(parameters.layer);
    if (drawing.layer(parameters.layer, products::kMeshLayerColour) != products::Made::made) {
        acdbFail(L"VOG: Unable to make result buffer list for mesh layer\n");
        return RTERROR;
    }

    acutPrintf(L"\nGenerating Grid...");
    Status status = Status::ok;
    try {
        status = drawMesh(surface, extent, parameters, line);
    } catch (const std::bad_alloc&) {
        // A line or the skirt list could not grow: what was drawn stays.
        acedAlert(kNoLineMemory);
        return RTERROR;
    }
    if (status != Status::ok) return app::toHostResult(status);
    acutPrintf(L"Done\n");
    return 0;
}

} // namespace vog
