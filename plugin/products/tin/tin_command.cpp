// The showtin command: the project's surface as three-dimensional faces on
// the layer the user names, replacing what that layer held, then a zoom to
// the drawing's extents.
#include "app/commands.h"
#include "app/host_drawing.h"
#include "app/host_result.h"
#include "app/host_seam.h"
#include "products/tin/tin_dialog.h"
#include "products/tin/tin_display.h"
#include "project/project_state.h"

namespace vog {

namespace {

constexpr const wchar_t* kNoTinLayerList =
    L"VOG: Unable to make result buffer list for tin layer.\n";

} // namespace

int showtinCommand() {
    using namespace products;
    if (!project::requireOpenProject(app::hostSeam().messages, project::kNoProjectMessageBang))
        return RTERROR;
    useDefaultTinLayerWhenEmpty();
    std::optional<std::wstring> path =
        project::projectSiblingPath(app::hostSeam().messages, surface::kSurfaceExtension);
    if (!path) return RTERROR;

    bool ok = askTinLayer();
    useDefaultTinLayerWhenEmpty();
    if (!ok) return RTCAN;

    surface::TriangleFileReader reader(*path);
    if (!reader.isOpen()) {
        acedAlert(kCannotOpenTinFile);
        return RTERROR;
    }
    const Seam& seam = app::hostSeam();
    if (Status checked = checkSurfaceRecords(reader, seam); checked != Status::ok)
        return app::toHostResult(checked);

    const std::wstring layer = tinLayerName();
    Drawing& drawing = app::hostDrawing();
    drawing.eraseLayer(layer);
    if (drawing.layer(layer, kTinLayerColour) != Made::made) {
        acedAlert(kNoTinLayerList);
        return RTERROR;
    }
    if (Status drawn = drawSurfaceFaces(reader, layer, drawing, seam); drawn != Status::ok)
        return app::toHostResult(drawn);
    acedCommandS(RTSTR, L"zoom", RTSTR, L"e", RTNONE);
    return RTNORM;
}

} // namespace vog
