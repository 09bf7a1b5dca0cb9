// ktexsec: the ground profile along a picked polyline, cut against the
// surface edges of the drawing folder's exchange file, written as
// station/elevation lines.
#include "app/commands.h"
#include "base/file_replace.h"
#include "base/wide_text.h"
#include "products/common/edge_exchange.h"
#include "products/profile/profile_cut.h"
#include "products/profile/profile_order.h"
#include "surface/files/number_text.h"
#include "surface/files/point_file.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace vog {

namespace {

using products::ProfilePoint;
using products::SurfaceEdge;

struct ListDeleter {
    void operator()(resbuf* rb) const { acutRelRb(rb); }
};
using ResultList = std::unique_ptr<resbuf, ListDeleter>;

// Walks a polyline's segments, each from a vertex to the next with the first
// vertex's bulge, carrying the station base along.
class ProfileWalk {
  public:
    ProfileWalk(double start, const std::vector<SurfaceEdge>& edges)
        : station_(start), edges_(edges) {}

    void vertex(const ads_point point, double bulge) {
        const surface::Point3 at = {point[0], point[1], point[2]};
        if (hasPrevious_) {
            if (previousBulge_ == 0)
                station_ += products::cutStraightSegment(previous_, at, station_, edges_, points_);
            else
                station_ += products::cutArcSegment(previous_, at, previousBulge_, station_, edges_,
                                                    points_);
        }
        previous_ = at;
        previousBulge_ = bulge;
        hasPrevious_ = true;
    }

    std::vector<ProfilePoint>& points() { return points_; }

  private:
    double station_;
    products::ProfileEdges edges_; // the edges with their grid, built once
    std::vector<ProfilePoint> points_;
    surface::Point3 previous_;
    double previousBulge_ = 0;
    bool hasPrevious_ = false;
};

// A lightweight polyline: a 10 group sets the vertex, the 42 group after it
// gives its bulge and ends the segment that leads to it.
void walkLightweight(const resbuf* data, ProfileWalk& walk) {
    ads_point current = {0, 0, 0};
    for (const resbuf* rb = data; rb; rb = rb->rbnext) {
        if (rb->restype == 10)
            for (int i = 0; i < 3; ++i)
                current[i] = rb->resval.rpoint[i];
        else if (rb->restype == 42)
            walk.vertex(current, rb->resval.rreal);
    }
}

const resbuf* findGroup(const resbuf* data, int code) {
    for (const resbuf* rb = data; rb; rb = rb->rbnext)
        if (rb->restype == code) return rb;
    return nullptr;
}

std::wstring typeOf(const resbuf* data) {
    const resbuf* type = findGroup(data, 0);
    if (!type || !type->resval.rstring) return L"";
    return std::wstring(type->resval.rstring).substr(0, 31);
}

// An old-style polyline: its VERTEX entities up to the SEQEND. False when the
// header is not followed by a vertex.
bool walkOldStyle(const ads_name header, ProfileWalk& walk) {
    ads_name current = {header[0], header[1]};
    bool first = true;
    for (;;) {
        ads_name next;
        if (acdbEntNext(current, next) != RTNORM) return !first;
        ResultList data(acdbEntGet(next));
        std::wstring type = data ? typeOf(data.get()) : L"";
        if (type != L"VERTEX") return !first; // the SEQEND, or no vertex at all
        first = false;
        const resbuf* at = findGroup(data.get(), 10);
        const resbuf* bulge = findGroup(data.get(), 42);
        if (at) walk.vertex(at->resval.rpoint, bulge ? bulge->resval.rreal : 0.0);
        current[0] = next[0];
        current[1] = next[1];
    }
}

bool writeProfileFile(const std::wstring& path, const std::vector<ProfilePoint>& points) {
    std::string text;
    for (std::size_t i : products::profileWriteOrder(points)) {
        surface::appendFixed6(text, points[i].station);
        text += ' ';
        surface::appendFixed6(text, points[i].elevation);
        text += '\n';
    }
    return replaceFile(path, text);
}

} // namespace

int ktexsecCommand() {
    // The exchange file lies in the drawing's folder.
    resbuf prefix;
    std::wstring exchange;
    if (acedGetVar(L"DWGPREFIX", &prefix) == RTNORM && prefix.restype == RTSTR) {
        exchange = prefix.resval.rstring ? prefix.resval.rstring : L"";
        std::free(prefix.resval.rstring);
    }
    exchange += L"kttin.asc";

    ads_name picked;
    ads_point pickedAt;
    if (acedEntSel(L"\nSelect a polyline to cut a section: ", picked, pickedAt) != RTNORM) {
        acutPrintf(L"\nNothing selected!");
        return RTNORM;
    }
    ResultList data(acdbEntGet(picked));
    std::wstring type = data ? typeOf(data.get()) : L"nothing";
    if (type != L"LWPOLYLINE" && type != L"POLYLINE") {
        acutPrintf(L"\nYou must select a polyline!");
        return RTNORM;
    }

    ads_real start = 0;
    if (acedGetReal(L"\nEnter starting station: ", &start) != RTNORM) start = 0;

    products::EdgeTable table;
    if (exchange.size() > 511) {
        acutPrintf(L"\nCan't open point file. Command Terminates.");
        return RTNORM;
    }
    switch (products::readEdgeExchange(exchange, table)) {
    case products::EdgeReadResult::CannotOpen:
        acutPrintf(L"\nCan't open point file. Command Terminates.");
        return RTNORM;
    case products::EdgeReadResult::Malformed:
        // Nothing is used of a file that does not read as edges, and it is kept.
        acutPrintf(L"\n%s", surface::malformedRecordMessage(exchange, table.malformedLine,
                                                            table.malformedText, L"surface edge",
                                                            table.malformedDetail)
                                .c_str());
        return RTERROR;
    case products::EdgeReadResult::Read:
        break;
    }
    acutPrintf(L"\nGetting elevations ....");
    acutPrintf(L".... Done!");
    products::replaceWithNote(exchange);

    ProfileWalk walk(start, table.edges);
    if (type == L"LWPOLYLINE") {
        walkLightweight(data.get(), walk);
    } else if (!walkOldStyle(picked, walk)) {
        acutPrintf(L"\nUnable to extract profile!");
        return RTNORM;
    }
    if (walk.points().empty()) {
        acutPrintf(L"\nUnable to extract profile!");
        return RTNORM;
    }

    resbuf chosen;
    if (acedGetFileD(L"Name of PROFILE file to create", L"", L"pfl", 5, &chosen) != RTNORM)
        return RTCAN;
    std::wstring profilePath =
        chosen.restype == RTSTR && chosen.resval.rstring ? chosen.resval.rstring : L"";
    if (chosen.restype == RTSTR) std::free(chosen.resval.rstring);
    if (profilePath.empty() || !writeProfileFile(profilePath, walk.points())) {
        acutPrintf(L"\nCan't create profile file %s.", profilePath.c_str());
        return RTERROR;
    }
    return RTNORM;
}

} // namespace vog
