// The contours command: the contours of the open project's surface, regular
// and index contours on their own layers, replacing what those layers held.
#include "app/commands.h"
#include "app/host_drawing.h"
#include "app/host_result.h"
#include "app/host_seam.h"
#include "products/contours/contour_surface.h"
#include "products/contours/contour_tracer.h"
#include "products/contours/contour_writer.h"
#include "products/contours/contours_dialog.h"
#include "products/contours/index_contours.h"
#include "project/project_state.h"
#include "surface/files/triangle_file.h"

#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <string>

namespace vog {

namespace {

constexpr const wchar_t* kNoTriangleFile =
    L"Triangle file does not exist.  You will automatically be taken to triangulation.\n";
constexpr const wchar_t* kCannotOpenTriangleFile =
    L"Could not open triangle file.  Command terminates.\n";
constexpr const wchar_t* kIntervalNotPositive = L"Contour interval must be a positive number.";
constexpr const wchar_t* kNoContourLayerList =
    L"VOG: Unable to make result buffer list for contour layer\n";
constexpr const wchar_t* kNoIndexLayerList =
    L"VOG: Unable to make result buffer list for index contour layer.\n";

// The project's triangle file, built first by the triangulate command when it
// does not exist; nullptr after the alert when it still cannot be opened.
std::unique_ptr<surface::TriangleFileReader> openTriangleFile(const std::wstring& path) {
    auto reader = std::make_unique<surface::TriangleFileReader>(path);
    if (reader->isOpen()) return reader;
    acedAlert(kNoTriangleFile);
    triangulateCommand();
    reader = std::make_unique<surface::TriangleFileReader>(path);
    if (reader->isOpen()) return reader;
    acedAlert(kCannotOpenTriangleFile);
    return nullptr;
}

// An index interval that came out equal to the interval has been doubled:
// the project's setting shows the doubled value from now on.
void rewriteIndexInterval(double value) {
    std::array<ACHAR, 64> text{};
    if (acdbRToS(value, 2, -1, text.data(), text.size()) != RTNORM) return;
    project::setSetting(L"dii", std::wstring(text.data()).substr(0, 15));
}

int drawContours(const std::wstring& path) {
    products::ContourSurface surface;
    {
        std::unique_ptr<surface::TriangleFileReader> reader = openTriangleFile(path);
        if (!reader) return RTERROR;
        const Status read = products::readContourSurface(*reader, app::hostSeam(), surface);
        if (read != Status::ok) return app::toHostResult(read);
    }

    products::ContourRange range;
    if (!products::askContourSettings(surface.lowest, surface.highest, range)) return RTCAN;

    const project::Settings settings = project::settings();
    double interval = settings.contourInterval;
    // Without a positive interval there is no sequence of levels: refused
    // before anything is erased or drawn.
    if (!(interval > 0) || !std::isfinite(interval)) {
        acedAlert(kIntervalNotPositive);
        return RTERROR;
    }
    products::ContourLevels levels = products::contourLevels(
        project::leadingNumber(range.start), project::leadingNumber(range.end), interval);
    const double levelCount = products::levelCount(levels);
    if (!(levelCount <= products::kMostContourLevels)) {
        acedAlert(products::tooManyLevelsMessage(levelCount).c_str());
        return RTERROR;
    }
    products::IndexInterval index =
        products::effectiveIndexInterval(settings.indexInterval, interval);
    if (index.doubled) rewriteIndexInterval(index.value);

    products::WriterParameters writer;
    writer.rounding = settings.roundContours ? L"1" : L"0";
    writer.contourWidth = settings.contourWidth;
    writer.indexWidth = settings.indexWidth;
    writer.contourLayer = settings.contourLayer;
    writer.indexLayer = settings.indexLayer;
    writer.indexInterval = index.value;

    products::Drawing& drawing = app::hostDrawing();
    if (drawing.layer(writer.contourLayer, products::kContourLayerColour) != products::Made::made) {
        acdbFail(kNoContourLayerList);
        return RTERROR;
    }
    if (drawing.layer(writer.indexLayer, products::kIndexContourLayerColour) !=
        products::Made::made) {
        acdbFail(kNoIndexLayerList);
        return RTERROR;
    }
    drawing.eraseLayer(writer.contourLayer);
    drawing.eraseLayer(writer.indexLayer);

    std::vector<surface::Segment> rounded;
    return app::toHostResult(products::traceContours(
        surface.triangles, surface.rim, levels,
        [&](std::span<const surface::Segment> chain) {
            return products::drawContour(chain, writer, rounded, drawing);
        },
        app::hostSeam()));
}

} // namespace

int contoursCommand() {
    if (!project::requireOpenProject(app::hostSeam().messages, project::kNoProjectMessage))
        return RTERROR;
    std::optional<std::wstring> path =
        project::projectSiblingPath(app::hostSeam().messages, surface::kSurfaceExtension);
    if (!path) return RTERROR;
    try {
        return drawContours(*path);
    } catch (const std::bad_alloc&) {
        acedAlert((L"Not enough memory to draw the contours of " + *path + L".").c_str());
        return RTERROR;
    }
}

} // namespace vog
