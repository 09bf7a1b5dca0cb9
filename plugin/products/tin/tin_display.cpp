// The showtin command and its dialog "showtin".
#include "products/tin/tin_display.h"

#include "app/commands.h"
#include "app/dialog_checks.h"
#include "app/host_seam.h"
#include "products/common/entity_output.h"
#include "products/common/layer_entities.h"
#include "project/project_state.h"

namespace vog::products {

namespace {

constexpr const wchar_t* kDefaultTinLayer = L"KT_Tin";
constexpr std::size_t kTinLayerCapacity = 512;
constexpr const wchar_t* kCannotOpenTinFile = L"Could not open tin file.  Command terminates.\n";
constexpr const wchar_t* kNoTinLayerList =
    L"VOG: Unable to make result buffer list for tin layer.\n";
constexpr const wchar_t* kNoFaceList = L"Could not build list for triangle.  Command terminates.\n";
constexpr const wchar_t* kFaceRefused =
    L"Could not add triangle to drawing.  Command terminates.\n";

bool accepted = false;

void useDefaultWhenEmpty() {
    std::wstring& layer = tinLayerName();
    if (layer.empty()) layer = kDefaultTinLayer;
}

void onTinLayer(ads_callback_packet* packet) {
    if (!leftField(packet)) return;
    checkField(packet->dialog, L"tinlayer", FieldCheck::LayerName, tinLayerName(),
               kLayerTileCapacity);
}

// Unguarded: the field is taken as it stands.
void onAccept(ads_callback_packet* packet) {
    std::wstring layer = tileText(packet->dialog, L"tinlayer", kLayerTileCapacity);
    tinLayerName() = layer.substr(0, kTinLayerCapacity - 1);
    closeAccepted(packet->dialog, accepted);
}

void onCancel(ads_callback_packet* packet) {
    closeCancelled(packet->dialog, accepted);
}

void setUp(ads_hdlg dialog) {
    setTileText(dialog, L"tinlayer", tinLayerName());
    showComplaint(dialog, L"");
    ads_action_tile(dialog, L"tinlayer", onTinLayer);
    ads_action_tile(dialog, L"accept", onAccept);
    ads_action_tile(dialog, L"cancel", onCancel);
}

// Reads the file through once, so that a record that is not a triangle is
// found before the old faces are deleted. RTERROR after the alert naming it,
// RTCAN on the break key (polled per record, nothing deleted yet), RTNORM
// with the file rewound.
int allRecordsAreTriangles(surface::TriangleFileReader& reader) {
    surface::Triangle triangle;
    for (;;) {
        switch (reader.read(triangle)) {
        case surface::TriangleFileReader::Result::Triangle:
            if (acedUsrBrk() == 1) return RTCAN;
            continue;
        case surface::TriangleFileReader::Result::End:
            reader.rewind();
            return RTNORM;
        case surface::TriangleFileReader::Result::Malformed:
            acedAlert(reader.malformedMessage().c_str());
            return RTERROR;
        case surface::TriangleFileReader::Result::Unreadable:
            acedAlert(kCannotOpenTinFile);
            return RTERROR;
        }
    }
}

} // namespace

std::wstring& tinLayerName() {
    static std::wstring layer;
    return layer;
}

int drawSurfaceFaces(surface::TriangleFileReader& reader, const std::wstring& layer) {
    surface::Triangle triangle;
    for (;;) {
        switch (reader.read(triangle)) {
        case surface::TriangleFileReader::Result::End:
            return RTNORM;
        case surface::TriangleFileReader::Result::Malformed:
            acedAlert(reader.malformedMessage().c_str());
            return RTERROR;
        case surface::TriangleFileReader::Result::Unreadable:
            acedAlert(kCannotOpenTinFile);
            return RTERROR;
        case surface::TriangleFileReader::Result::Triangle:
            break;
        }
        // Polled before every face, as the other commands poll per record:
        // the faces drawn so far stay, the view is left as it is.
        if (acedUsrBrk() == 1) return RTCAN;
        const auto& c = triangle.corners;
        ads_point p1 = {c[0].x, c[0].y, c[0].z};
        ads_point p2 = {c[1].x, c[1].y, c[1].z};
        ads_point p3 = {c[2].x, c[2].y, c[2].z};
        resbuf* face = acutBuildList(RTDXF0, L"3DFACE", 8, layer.c_str(), 10, p1, 11, p2, 12, p3,
                                     13, p1, RTNONE);
        if (!face) {
            acedAlert(kNoFaceList);
            return RTERROR;
        }
        if (makeEntity(face) != RTNORM) {
            acedAlert(kFaceRefused);
            return RTERROR;
        }
    }
}

} // namespace vog::products

namespace vog {

int showtinCommand() {
    using namespace products;
    if (!project::requireOpenProject(app::hostSeam().messages, project::kNoProjectMessageBang))
        return RTERROR;
    useDefaultWhenEmpty();
    std::optional<std::wstring> path =
        project::projectSiblingPath(app::hostSeam().messages, surface::kSurfaceExtension);
    if (!path) return RTERROR;

    bool ok = showDialog(L"showtin", setUp, accepted);
    useDefaultWhenEmpty();
    if (!ok) return RTCAN;

    surface::TriangleFileReader reader(*path);
    if (!reader.isOpen()) {
        acedAlert(kCannotOpenTinFile);
        return RTERROR;
    }
    if (int checked = allRecordsAreTriangles(reader); checked != RTNORM) return checked;

    const std::wstring layer = tinLayerName();
    eraseLayerEntities(layer);
    if (!makeLayerRecord(layer, kTinLayerColour)) {
        acedAlert(kNoTinLayerList);
        return RTERROR;
    }
    if (int drawn = drawSurfaceFaces(reader, layer); drawn != RTNORM) return drawn;
    acedCommandS(RTSTR, L"zoom", RTSTR, L"e", RTNONE);
    return RTNORM;
}

} // namespace vog
