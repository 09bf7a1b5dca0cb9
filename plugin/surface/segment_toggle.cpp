#include "surface/segment_toggle.h"

namespace vog::surface {

void toggleSegment(const Point3& a, const Point3& b, std::vector<Segment>& segments) {
    for (auto it = segments.begin(); it != segments.end(); ++it) {
        if ((it->a == a && it->b == b) || (it->a == b && it->b == a)) {
            segments.erase(it);
            return;
        }
    }
    segments.push_back({a, b});
}

} // namespace vog::surface
