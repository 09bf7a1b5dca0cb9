#include "products/contour_surface.h"

#include "host/host_api.h"
#include "surface/segment_toggle.h"

#include <algorithm>

namespace vog::products {

int readContourSurface(surface::TriangleFileReader& reader, ContourSurface& result) {
    result = ContourSurface{};
    surface::Triangle triangle;
    for (;;) {
        switch (reader.read(triangle)) {
        case surface::TriangleFileReader::Result::End:
            return RTNORM;
        case surface::TriangleFileReader::Result::Malformed:
            acedAlert(reader.malformedMessage().c_str());
            return RTERROR;
        case surface::TriangleFileReader::Result::Triangle:
            break;
        }
        if (acedUsrBrk() == 1) return RTCAN;
        const auto& c = triangle.corners;
        surface::toggleSegment(c[0], c[1], result.rim);
        surface::toggleSegment(c[1], c[2], result.rim);
        surface::toggleSegment(c[2], c[0], result.rim);
        if (result.triangles.empty()) result.lowest = result.highest = c[0].z;
        for (const surface::Point3& corner : c) {
            result.lowest = std::min(result.lowest, corner.z);
            result.highest = std::max(result.highest, corner.z);
        }
        result.triangles.push_back(triangle);
    }
}

} // namespace vog::products
