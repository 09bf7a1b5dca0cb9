#include "products/contours/contour_surface.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <unordered_map>

namespace vog::products {

namespace {

using surface::Point3;
using surface::Segment;

// The segment toggle through a hash keyed by the undirected edge: an edge
// seen an odd number of times is on the rim, and the rim keeps the order and
// direction in which its edges were last added, as toggling a list does.
class RimToggle {
  public:
    void toggle(const Point3& a, const Point3& b) {
        Key key = keyOf(a, b);
        auto found = live_.find(key);
        if (found != live_.end()) {
            added_[found->second].live = false;
            live_.erase(found);
            return;
        }
        live_.emplace(key, added_.size());
        added_.push_back({{a, b}, true});
    }

    std::vector<Segment> rim() const {
        std::vector<Segment> out;
        out.reserve(live_.size());
        for (const Added& entry : added_)
            if (entry.live) out.push_back(entry.segment);
        return out;
    }

  private:
    struct Key {
        Point3 low, high;
        bool operator==(const Key& other) const { return low == other.low && high == other.high; }
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            std::uint64_t h = 1469598103934665603ull;
            for (double d : {k.low.x, k.low.y, k.low.z, k.high.x, k.high.y, k.high.z}) {
                if (d == 0) d = 0; // minus zero equals zero
                h = (h ^ std::bit_cast<std::uint64_t>(d)) * 1099511628211ull;
                h ^= h >> 29;
            }
            return static_cast<std::size_t>(h);
        }
    };
    struct Added {
        Segment segment;
        bool live;
    };

    // The two ends in a fixed order, so that (a, b) and (b, a) share a key.
    static Key keyOf(const Point3& a, const Point3& b) {
        auto before = [](const Point3& p, const Point3& q) {
            if (p.x != q.x) return p.x < q.x;
            if (p.y != q.y) return p.y < q.y;
            return p.z < q.z;
        };
        return before(b, a) ? Key{b, a} : Key{a, b};
    }

    std::unordered_map<Key, std::size_t, KeyHash> live_;
    std::vector<Added> added_;
};

} // namespace

Status readContourSurface(surface::TriangleFileReader& reader, const Seam& seam,
                          ContourSurface& result) {
    result = ContourSurface{};
    RimToggle rim;
    Cancellation& cancellation = seam.cancellation;
    switch (surface::forEachTriangle(reader, [&](const surface::Triangle& triangle) {
        if (cancellation.requested()) return false;
        const auto& c = triangle.corners;
        rim.toggle(c[0], c[1]);
        rim.toggle(c[1], c[2]);
        rim.toggle(c[2], c[0]);
        if (result.triangles.empty()) result.lowest = result.highest = c[0].z;
        for (const Point3& corner : c) {
            result.lowest = std::min(result.lowest, corner.z);
            result.highest = std::max(result.highest, corner.z);
        }
        result.triangles.push_back(triangle);
        return true;
    })) {
    case surface::TriangleWalk::complete:
        result.rim = rim.rim();
        return Status::ok;
    case surface::TriangleWalk::stopped:
        return Status::cancelled;
    case surface::TriangleWalk::malformed:
        seam.messages.alert(reader.malformedMessage());
        return Status::failed;
    case surface::TriangleWalk::unreadable:
        // A surface that cannot be read is one that cannot be opened:
        // nothing is erased or drawn.
        seam.messages.alert(L"Could not open triangle file.  Command terminates.\n");
        return Status::failed;
    }
    return Status::failed;
}

} // namespace vog::products
