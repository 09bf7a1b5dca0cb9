#include "products/common/edge_exchange.h"

#include "base/file_replace.h"
#include "base/wide_text.h"
#include "surface/files/record_reader.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <unordered_set>

namespace vog::products {

namespace {

// Edges are the same when all six numbers are equal, or when the ends are
// exchanged; the key is the edge with its ends in a fixed order.
struct EdgeKey {
    std::array<double, 6> v;
    friend bool operator==(const EdgeKey&, const EdgeKey&) = default;
};

EdgeKey keyOf(const SurfaceEdge& e) {
    std::array<double, 3> a{e.v[0], e.v[1], e.v[2]}, b{e.v[3], e.v[4], e.v[5]};
    if (b < a) std::swap(a, b);
    return EdgeKey{{a[0], a[1], a[2], b[0], b[1], b[2]}};
}

struct EdgeKeyHash {
    std::size_t operator()(const EdgeKey& k) const {
        std::size_t h = 1469598103934665603ull;
        for (double d : k.v) {
            if (d == 0) d = 0; // -0 and 0 are equal numbers
            std::uint64_t bits;
            std::memcpy(&bits, &d, sizeof bits);
            h = (h ^ bits) * 1099511628211ull;
        }
        return h;
    }
};

} // namespace

EdgeReadResult readEdgeExchange(const std::wstring& path, EdgeTable& table) {
    std::ifstream in;
    surface::openDataFile(in, filePath(path));
    if (!in.is_open()) return EdgeReadResult::CannotOpen;
    // The file is prepared outside the system, like the user's own files:
    // its complete last line counts even without a line end.
    surface::RecordReader reader(in, surface::FileMaker::User);
    std::array<double, 6> values;

    // Count pass: one per read attempt, the one that meets the end included.
    table.countPass = 1;
    for (;;) {
        auto result = reader.read(values);
        ++table.countPass;
        // Numbers that are not finite cannot place an edge.
        if (result == surface::RecordReader::Result::Record)
            for (double v : values)
                if (!std::isfinite(v)) {
                    reader.reject();
                    result = surface::RecordReader::Result::Malformed;
                    break;
                }
        // A read that fails is a file that cannot be opened; it is kept.
        if (result == surface::RecordReader::Result::Unreadable) return EdgeReadResult::CannotOpen;
        if (result == surface::RecordReader::Result::Malformed) {
            table.malformedLine = reader.malformedLine();
            table.malformedText = reader.malformedText();
            table.malformedDetail = reader.malformedDetail();
            return EdgeReadResult::Malformed;
        }
        if (result == surface::RecordReader::Result::End) break;
    }

    reader.rewind();
    std::unordered_set<EdgeKey, EdgeKeyHash> seen;
    table.edges.clear();
    surface::RecordReader::Result result;
    while ((result = reader.read(values)) == surface::RecordReader::Result::Record) {
        SurfaceEdge edge{values};
        if (seen.insert(keyOf(edge)).second) table.edges.push_back(edge);
    }
    // The file changed between the passes, or its second reading failed.
    if (result != surface::RecordReader::Result::End) {
        table.edges.clear();
        return EdgeReadResult::CannotOpen;
    }
    return EdgeReadResult::Read;
}

bool replaceWithNote(const std::wstring& path) {
    return replaceFile(path, kExchangeNote);
}

} // namespace vog::products
