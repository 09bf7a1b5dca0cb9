#include "products/contours/contour_writer.h"

#include "products/contours/contour_smoothing.h"
#include "products/contours/index_contours.h"

namespace vog::products {

namespace {

using surface::Point3;

// The failure messages of each step.
constexpr FailureTexts kHeaderMessages = {L"VOG: Unable to create result buffer list for contour\n",
                                          L"VOG: Unable to start contour\n"};
constexpr FailureTexts kVertexMessages = {L"VOG: Unable to create result buffer list for vertex.\n",
                                          L"Unable to add contour vertex.\n"};
constexpr FailureTexts kEndMessages = {L"Unable to create result buffer to end contour\n",
                                       L"Unable to end contour\n"};

Status writeVertex(const Point3& point, Drawing& drawing) {
    return reportUnlessMade(drawing.vertex(PolylineKind::flat, point), kVertexMessages, drawing);
}

} // namespace

Status writeContourPolyline(std::span<const Segment> chain, const WriterParameters& parameters,
                            Drawing& drawing) {
    if (chain.empty()) return Status::ok;
    const Point3& first = chain.front().a;
    bool index = isIndexContour(first.z, parameters.indexInterval);
    const std::wstring& layer = index ? parameters.indexLayer : parameters.contourLayer;
    double width = index ? parameters.indexWidth : parameters.contourWidth;

    if (reportUnlessMade(drawing.polyline(PolylineKind::flat, layer, first, width), kHeaderMessages,
                         drawing) != Status::ok)
        return Status::failed;
    if (writeVertex(first, drawing) != Status::ok) return Status::failed;
    for (const Segment& entry : chain)
        if (writeVertex(entry.b, drawing) != Status::ok) return Status::failed;
    return reportUnlessMade(drawing.polylineEnd(), kEndMessages, drawing);
}

Status drawContour(std::span<const Segment> chain, const WriterParameters& parameters,
                   std::vector<Segment>& rounded, Drawing& drawing) {
    if (parameters.rounding == L"0") return writeContourPolyline(chain, parameters, drawing);
    smoothChain(chain, rounded);
    return writeContourPolyline(rounded, parameters, drawing);
}

} // namespace vog::products
