#include "products/mesh/mesh_lines.h"

#include "host_api.h"
#include "products/common/entity_output.h"
#include "geometry/point_order.h"

namespace vog::products {

namespace {

using surface::Point3;
using surface::Segment;

// What is printed when a step's list cannot be built, and when the host
// refuses the entity.
struct StepMessages {
    const wchar_t* noList;
    const wchar_t* refused;
};

constexpr StepMessages kLineHeader{L"VOG: Unable to create result buffer list for mesh line\n",
                                   L"VOG: Unable to start mesh line\n"};
// A surface vertex the host refuses would leave a hole in the line without a
// word: it is reported like a vertex that could not be built.
constexpr StepMessages kLineVertex{L"VOG: Unable to create vertex for mesh line\n",
                                   L"VOG: Unable to create vertex for mesh line\n"};
constexpr StepMessages kLineEnd{L"Unable to create result buffer to end mesh line\n",
                                L"Unable to end mesh line\n"};
constexpr StepMessages kLineSkirtVertex{L"VOG: Unable to create vertex for skirt\n",
                                        L"VOG: Unable to create vertex for skirt\n"};
constexpr StepMessages kBaseHeader{L"VOG: Error creating result buffer for skirt\n",
                                   L"VOG: Error starting skirt\n"};
constexpr StepMessages kBaseVertex{L"VOG: Error creating result buffer for skirt vertex\n",
                                   L"VOG: Error adding skirt vertex\n"};
constexpr StepMessages kBaseEnd{L"VOG: Error ending skirt segment\n",
                                L"VOG: Error ending skirt segment\n"};

int submit(resbuf* list, const StepMessages& messages) {
    if (!list) {
        acdbFail(messages.noList);
        return RTERROR;
    }
    if (makeEntity(list) != RTNORM) {
        acdbFail(messages.refused);
        return RTERROR;
    }
    return RTNORM;
}

// A three-dimensional polyline (flag 8) starting at the point.
int writeHeader(const Point3& start, const std::wstring& layer, const StepMessages& messages) {
    ads_point p = {start.x, start.y, start.z};
    return submit(acutBuildList(RTDXF0, L"POLYLINE", 8, layer.c_str(), 10, p, 66, 1, 70, 8, RTNONE),
                  messages);
}

// A vertex of a three-dimensional polyline (flag 32).
int writeVertex(const Point3& point, const StepMessages& messages) {
    ads_point p = {point.x, point.y, point.z};
    return submit(acutBuildList(RTDXF0, L"VERTEX", 10, p, 70, 32, RTNONE), messages);
}

int writeEnd(const StepMessages& messages) {
    return submit(acutBuildList(RTDXF0, L"SEQEND", RTNONE), messages);
}

} // namespace

int writeMeshLine(const std::vector<Segment>& line, const std::wstring& layer,
                  const std::optional<SkirtEnds>& skirt) {
    if (line.empty()) return RTNORM;
    if (writeHeader(line.front().a, layer, kLineHeader) != RTNORM) return RTERROR;
    if (skirt && writeVertex(skirt->start, kLineSkirtVertex) != RTNORM) return RTERROR;
    if (writeVertex(line.front().a, kLineVertex) != RTNORM) return RTERROR;
    for (std::size_t i = 0; i < line.size(); ++i) {
        // Grid points between two segments that do not meet fell off the
        // surface: the polyline ends and a new one starts.
        if (i > 0 && surface::comparePointsXY(line[i].a, line[i - 1].b) != 0) {
            if (writeEnd(kLineEnd) != RTNORM) return RTERROR;
            if (writeHeader(line[i].a, layer, kLineHeader) != RTNORM) return RTERROR;
            if (writeVertex(line[i].a, kLineVertex) != RTNORM) return RTERROR;
        }
        if (writeVertex(line[i].b, kLineVertex) != RTNORM) return RTERROR;
    }
    if (skirt && writeVertex(skirt->end, kLineSkirtVertex) != RTNORM) return RTERROR;
    return writeEnd(kLineEnd);
}

int writeSkirtBaseLine(const std::vector<Point3>& points, const std::wstring& layer) {
    if (points.empty()) return RTNORM;
    if (writeHeader(points.front(), layer, kBaseHeader) != RTNORM) return RTERROR;
    for (const Point3& point : points)
        if (writeVertex(point, kBaseVertex) != RTNORM) return RTERROR;
    return writeEnd(kBaseEnd);
}

} // namespace vog::products
