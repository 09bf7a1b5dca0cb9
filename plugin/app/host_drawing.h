// The products' drawing made of the host's entities: each record and entity
// is built as a result-buffer list, submitted with acdbEntMake and released
// at once, so no list outlives its entity. The commands hand hostDrawing()
// to the products they draw.
#pragma once

#include "products/common/drawing.h"

namespace vog::app {

class HostDrawing final : public products::Drawing {
  public:
    products::Made layer(const std::wstring& name, int colour) override;
    products::Made polyline(products::PolylineKind kind, const std::wstring& layer,
                            const surface::Point3& start, double width) override;
    products::Made vertex(products::PolylineKind kind, const surface::Point3& at) override;
    products::Made polylineEnd() override;
    products::Made face(const std::wstring& layer, const surface::Point3& a,
                        const surface::Point3& b, const surface::Point3& c) override;
    void eraseLayer(const std::wstring& layer) override;
    void reportFailure(const std::wstring& text) override;
};

// The host's drawing; the same for every command.
products::Drawing& hostDrawing();

} // namespace vog::app
