#include "surface/faults/fault_lines.h"

#include "base/progress_steps.h"
#include "base/wide_text.h"
#include "project/project_state.h"
#include "surface/faults/fault_segment.h"
#include "surface/faults/fault_surface.h"
#include "surface/faults/segment_end_index.h"
#include "surface/files/segment_file.h"
#include "surface/files/triangle_file.h"

#include <cstdint>
#include <fstream>
#include <utility>
#include <vector>

namespace vog::surface {

Status applyFaultLines(const std::wstring& triangleFile, const std::wstring& faultFile,
                       int dimension, const Seam& seam) {
    Messages& messages = seam.messages;
    std::vector<Triangle> triangles;
    {
        TriangleFileReader in(triangleFile);
        if (!in.isOpen()) {
            messages.alert(L"Error opening triangle file.\n");
            return Status::failed;
        }
        const TriangleWalk walk = forEachTriangle(in, [&](const Triangle& triangle) {
            triangles.push_back(triangle);
            return true;
        });
        if (walk == TriangleWalk::malformed) {
            messages.alert(in.malformedMessage());
            return Status::failed;
        }
        if (walk == TriangleWalk::unreadable) {
            messages.alert(L"Error opening triangle file.\n");
            return Status::failed;
        }
    }

    std::vector<Segment> boundary;
    if (project::setting(L"ubound") == L"1") {
        SegmentFileContents contents = readSegmentFile(project::setting(L"dbndry"),
                                                       SegmentLayout::Spatial, L"boundary segment");
        if (contents.status == SegmentFileContents::Status::NotOpened) {
            messages.alert(L"Error opening boundary file.\n");
            return Status::failed;
        }
        if (contents.status == SegmentFileContents::Status::Malformed) {
            messages.alert(contents.message);
            return Status::failed;
        }
        boundary = std::move(contents.segments);
    }

    SegmentFileContents faults = readSegmentFile(
        faultFile, dimension == 2 ? SegmentLayout::Plan : SegmentLayout::Spatial, L"fault line");
    if (faults.status == SegmentFileContents::Status::NotOpened) {
        messages.alert(L"Error opening fault line file.\n");
        return Status::failed;
    }
    if (faults.status == SegmentFileContents::Status::Malformed) {
        messages.alert(faults.message);
        return Status::failed;
    }

    const auto outputPath = project::siblingPath(triangleFile, kFaultedTriangleExtension);
    std::ofstream out;
    if (outputPath) out.open(filePath(*outputPath), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        messages.alert(L"Error opening output file.\n");
        return Status::failed;
    }

    const SegmentEndIndex onBoundary(std::move(boundary));
    FaultSurface surface(std::move(triangles));
    std::uint64_t faultNumber = 0;
    StepMeter progress(seam.progress, L"Applying Fault Lines", faults.segments.size());
    for (const Segment& recorded : faults.segments) {
        progress.advance(faultNumber);
        ++faultNumber;
        if (seam.cancellation.requested()) return Status::cancelled;
        if (onBoundary.holds(recorded)) continue;
        Segment fault = recorded;
        switch (applyFaultSegment(surface, fault, seam)) {
        case FaultResult::processed:    // placed, or reported as missing
        case FaultResult::notApplied:   // an edge already, or an end off the surface
        case FaultResult::unfollowable: // the surface is as it was
            break;
        case FaultResult::cancelled:
            return Status::cancelled;
        }
        surface.compactIfSparse();
    }

    messages.print(L"Done\n");
    std::string lines;
    surface.forEach([&](const Triangle& t) {
        appendTriangleRecord(lines, t);
        if (lines.size() > (1 << 16)) {
            out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
            lines.clear();
        }
    });
    out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    out.close();
    if (out.fail()) {
        messages.alert(L"Error writing " + *outputPath + L".");
        return Status::failed;
    }
    return Status::ok;
}

} // namespace vog::surface
