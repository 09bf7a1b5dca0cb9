#include "products/contours/contour_writer.h"

#include "products/contours/contour_smoothing.h"
#include "products/common/entity_output.h"
#include "products/contours/index_contours.h"

namespace vog::products {

namespace {

using surface::Point3;

// The failure messages of one step: the list was not built, or the host did
// not make the entity.
struct StepMessages {
    const wchar_t* noList;
    const wchar_t* refused;
};

constexpr StepMessages kHeaderMessages = {L"VOG: Unable to create result buffer list for contour\n",
                                          L"VOG: Unable to start contour\n"};
constexpr StepMessages kVertexMessages = {L"VOG: Unable to create result buffer list for vertex.\n",
                                          L"Unable to add contour vertex.\n"};
constexpr StepMessages kEndMessages = {L"Unable to create result buffer to end contour\n",
                                       L"Unable to end contour\n"};

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

int writeVertex(const Point3& point) {
    ads_point p = {point.x, point.y, point.z};
    return submit(acutBuildList(RTDXF0, L"VERTEX", 10, p, RTNONE), kVertexMessages);
}

} // namespace

int writeContourPolyline(std::span<const Segment> chain, const WriterParameters& parameters) {
    if (chain.empty()) return RTNORM;
    const Point3& first = chain.front().a;
    bool index = isIndexContour(first.z, parameters.indexInterval);
    const std::wstring& layer = index ? parameters.indexLayer : parameters.contourLayer;
    double width = index ? parameters.indexWidth : parameters.contourWidth;

    ads_point start = {first.x, first.y, first.z};
    if (submit(acutBuildList(RTDXF0, L"POLYLINE", 8, layer.c_str(), 10, start, 40, width, 41, width,
                             66, 1, RTNONE),
               kHeaderMessages) != RTNORM)
        return RTERROR;
    if (writeVertex(first) != RTNORM) return RTERROR;
    for (const Segment& entry : chain)
        if (writeVertex(entry.b) != RTNORM) return RTERROR;
    return submit(acutBuildList(RTDXF0, L"SEQEND", RTNONE), kEndMessages);
}

int drawContour(std::span<const Segment> chain, const WriterParameters& parameters,
                std::vector<Segment>& rounded) {
    if (parameters.rounding == L"0") return writeContourPolyline(chain, parameters);
    smoothChain(chain, rounded);
    return writeContourPolyline(rounded, parameters);
}

} // namespace vog::products
