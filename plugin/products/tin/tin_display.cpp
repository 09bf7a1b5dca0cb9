#include "products/tin/tin_display.h"

namespace vog::products {

namespace {

constexpr const wchar_t* kNoFaceList = L"Could not build list for triangle.  Command terminates.\n";
constexpr const wchar_t* kFaceRefused =
    L"Could not add triangle to drawing.  Command terminates.\n";

// Failed after the alert for a walk that did not reach the end of the file.
Status walkFailed(surface::TriangleWalk walk, surface::TriangleFileReader& reader,
                  Messages& messages) {
    if (walk == surface::TriangleWalk::malformed)
        messages.alert(reader.malformedMessage());
    else
        messages.alert(kCannotOpenTinFile);
    return Status::failed;
}

} // namespace

Status checkSurfaceRecords(surface::TriangleFileReader& reader, const Seam& seam) {
    const surface::TriangleWalk walk = surface::forEachTriangle(
        reader, [&](const surface::Triangle&) { return !seam.cancellation.requested(); });
    switch (walk) {
    case surface::TriangleWalk::complete:
        reader.rewind();
        return Status::ok;
    case surface::TriangleWalk::stopped:
        return Status::cancelled;
    case surface::TriangleWalk::malformed:
    case surface::TriangleWalk::unreadable:
        break;
    }
    return walkFailed(walk, reader, seam.messages);
}

Status drawSurfaceFaces(surface::TriangleFileReader& reader, const std::wstring& layer,
                        Drawing& drawing, const Seam& seam) {
    Made made = Made::made;
    const surface::TriangleWalk walk =
        surface::forEachTriangle(reader, [&](const surface::Triangle& triangle) {
            // Polled before every face, as the other commands poll per
            // record: the faces drawn so far stay, the view is left as it is.
            if (seam.cancellation.requested()) return false;
            const auto& c = triangle.corners;
            made = drawing.face(layer, c[0], c[1], c[2]);
            return made == Made::made;
        });
    switch (walk) {
    case surface::TriangleWalk::complete:
        return Status::ok;
    case surface::TriangleWalk::stopped:
        break;
    case surface::TriangleWalk::malformed:
    case surface::TriangleWalk::unreadable:
        return walkFailed(walk, reader, seam.messages);
    }
    switch (made) {
    case Made::made:
        return Status::cancelled;
    case Made::notBuilt:
        seam.messages.alert(kNoFaceList);
        break;
    case Made::refused:
        seam.messages.alert(kFaceRefused);
        break;
    }
    return Status::failed;
}

} // namespace vog::products
