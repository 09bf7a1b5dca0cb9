// What the surface products put into the drawing: layer records, polylines
// vertex by vertex, three-dimensional faces, and the clearing of a layer
// before a product is drawn on it again. The products draw through this
// interface; app/host_drawing.h makes the host's entities from it, and tests
// record what was drawn.
#pragma once

#include "base/status.h"
#include "geometry/geometry.h"

#include <string>

namespace vog::products {

// The layer colours of the products.
constexpr int kContourLayerColour = 3;
constexpr int kIndexContourLayerColour = 5;
constexpr int kMeshLayerColour = 3;
constexpr int kTinLayerColour = 5;

// How the drawing took one entity or record.
enum class [[nodiscard]] Made{
    made,     // it is in the drawing
    notBuilt, // its description could not be put together (out of memory)
    refused,  // the drawing refused it
};

// The two kinds of polyline the products draw.
enum class PolylineKind {
    flat,  // two-dimensional, with a start and end width (the contours)
    space, // three-dimensional, its vertices flagged as such (the mesh)
};

class Drawing {
  public:
    // The layer record: name, colour and the continuous line type. Whether
    // the drawing kept it is not asked: a layer the drawing refuses is simply
    // not there and the entities still name it; notBuilt only when the
    // record could not be put together.
    virtual Made layer(const std::wstring& name, int colour) = 0;

    // A polyline's header at its first point; a flat polyline has the width
    // at both ends. The vertices follow, then the end.
    virtual Made polyline(PolylineKind kind, const std::wstring& layer,
                          const surface::Point3& start, double width) = 0;
    virtual Made vertex(PolylineKind kind, const surface::Point3& at) = 0;
    virtual Made polylineEnd() = 0;

    // A three-dimensional face over the triangle a, b, c, its fourth corner
    // repeating the first.
    virtual Made face(const std::wstring& layer, const surface::Point3& a, const surface::Point3& b,
                      const surface::Point3& c) = 0;

    // Deletes every entity whose layer is the name, whoever made it, and no
    // other.
    virtual void eraseLayer(const std::wstring& layer) = 0;

    // Reports a failure to draw, in the drawing's own way of reporting
    // them.
    virtual void reportFailure(const std::wstring& text) = 0;

  protected:
    ~Drawing() = default;
};

// What a product reports when an entity could not be put together, and when
// the drawing refused it.
struct FailureTexts {
    const wchar_t* notBuilt;
    const wchar_t* refused;
};

// Ok when the entity was made; otherwise failed, after the text for what
// went wrong has been reported.
inline Status reportUnlessMade(Made made, const FailureTexts& texts, Drawing& drawing) {
    switch (made) {
    case Made::made:
        return Status::ok;
    case Made::notBuilt:
        drawing.reportFailure(texts.notBuilt);
        break;
    case Made::refused:
        drawing.reportFailure(texts.refused);
        break;
    }
    return Status::failed;
}

} // namespace vog::products
