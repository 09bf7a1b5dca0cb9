#include "products/mesh/mesh_lines.h"

#include "geometry/point_order.h"

namespace vog::products {

namespace {

using surface::Point3;
using surface::Segment;

// What is reported when a step's entity cannot be put together, and when the
// drawing refuses it.
constexpr FailureTexts kLineHeader{L"VOG: Unable to create result buffer list for mesh line\n",
                                   L"VOG: Unable to start mesh line\n"};
// A surface vertex the host refuses would leave a hole in the line without a
// word: it is reported like a vertex that could not be built.
constexpr FailureTexts kLineVertex{L"VOG: Unable to create vertex for mesh line\n",
                                   L"VOG: Unable to create vertex for mesh line\n"};
constexpr FailureTexts kLineEnd{L"Unable to create result buffer to end mesh line\n",
                                L"Unable to end mesh line\n"};
constexpr FailureTexts kLineSkirtVertex{L"VOG: Unable to create vertex for skirt\n",
                                        L"VOG: Unable to create vertex for skirt\n"};
constexpr FailureTexts kBaseHeader{L"VOG: Error creating result buffer for skirt\n",
                                   L"VOG: Error starting skirt\n"};
constexpr FailureTexts kBaseVertex{L"VOG: Error creating result buffer for skirt vertex\n",
                                   L"VOG: Error adding skirt vertex\n"};
constexpr FailureTexts kBaseEnd{L"VOG: Error ending skirt segment\n",
                                L"VOG: Error ending skirt segment\n"};

// A three-dimensional polyline starting at the point.
Status writeHeader(const Point3& start, const std::wstring& layer, const FailureTexts& messages,
                   Drawing& drawing) {
    return reportUnlessMade(drawing.polyline(PolylineKind::space, layer, start, 0), messages,
                            drawing);
}

// A vertex of a three-dimensional polyline.
Status writeVertex(const Point3& point, const FailureTexts& messages, Drawing& drawing) {
    return reportUnlessMade(drawing.vertex(PolylineKind::space, point), messages, drawing);
}

Status writeEnd(const FailureTexts& messages, Drawing& drawing) {
    return reportUnlessMade(drawing.polylineEnd(), messages, drawing);
}

} // namespace

Status writeMeshLine(const std::vector<Segment>& line, const std::wstring& layer,
                     const std::optional<SkirtEnds>& skirt, Drawing& drawing) {
    constexpr Status ok = Status::ok;
    if (line.empty()) return ok;
    if (writeHeader(line.front().a, layer, kLineHeader, drawing) != ok) return Status::failed;
    if (skirt && writeVertex(skirt->start, kLineSkirtVertex, drawing) != ok) return Status::failed;
    if (writeVertex(line.front().a, kLineVertex, drawing) != ok) return Status::failed;
    for (std::size_t i = 0; i < line.size(); ++i) {
        // Grid points between two segments that do not meet fell off the
        // surface: the polyline ends and a new one starts.
        if (i > 0 && surface::comparePointsXY(line[i].a, line[i - 1].b) != 0) {
            if (writeEnd(kLineEnd, drawing) != ok) return Status::failed;
            if (writeHeader(line[i].a, layer, kLineHeader, drawing) != ok) return Status::failed;
            if (writeVertex(line[i].a, kLineVertex, drawing) != ok) return Status::failed;
        }
        if (writeVertex(line[i].b, kLineVertex, drawing) != ok) return Status::failed;
    }
    if (skirt && writeVertex(skirt->end, kLineSkirtVertex, drawing) != ok) return Status::failed;
    return writeEnd(kLineEnd, drawing);
}

Status writeSkirtBaseLine(const std::vector<Point3>& points, const std::wstring& layer,
                          Drawing& drawing) {
    if (points.empty()) return Status::ok;
    if (writeHeader(points.front(), layer, kBaseHeader, drawing) != Status::ok)
        return Status::failed;
    for (const Point3& point : points)
        if (writeVertex(point, kBaseVertex, drawing) != Status::ok) return Status::failed;
    return writeEnd(kBaseEnd, drawing);
}

} // namespace vog::products
