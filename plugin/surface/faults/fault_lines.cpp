#include "surface/faults/fault_lines.h"

#include "host_api.h"
#include "base/wide_text.h"
#include "project/project_state.h"
#include "surface/faults/fault_segment.h"
#include "surface/faults/fault_surface.h"
#include "surface/faults/segment_end_index.h"
#include "surface/files/segment_file.h"
#include "base/step_progress.h"
#include "surface/files/triangle_file.h"

#include <fstream>
#include <utility>
#include <vector>

namespace vog::surface {

namespace {

void alert(const std::wstring& text) {
    acedAlert(text.c_str());
}

} // namespace

int applyFaultLines(const std::wstring& triangleFile, const std::wstring& faultFile,
                    int dimension) {
    std::vector<Triangle> triangles;
    {
        TriangleFileReader in(triangleFile);
        if (!in.isOpen()) {
            alert(L"Error opening triangle file.\n");
            return RTERROR;
        }
        Triangle triangle;
        TriangleFileReader::Result result;
        while ((result = in.read(triangle)) == TriangleFileReader::Result::Triangle)
            triangles.push_back(triangle);
        if (result == TriangleFileReader::Result::Malformed) {
            alert(in.malformedMessage());
            return RTERROR;
        }
        if (result == TriangleFileReader::Result::Unreadable) {
            alert(L"Error opening triangle file.\n");
            return RTERROR;
        }
    }

    std::vector<Segment> boundary;
    if (project::setting(L"ubound") == L"1") {
        SegmentFileContents contents = readSegmentFile(project::setting(L"dbndry"),
                                                       SegmentLayout::Spatial, L"boundary segment");
        if (contents.status == SegmentFileContents::Status::NotOpened) {
            alert(L"Error opening boundary file.\n");
            return RTERROR;
        }
        if (contents.status == SegmentFileContents::Status::Malformed) {
            alert(contents.message);
            return RTERROR;
        }
        boundary = std::move(contents.segments);
    }

    SegmentFileContents faults = readSegmentFile(
        faultFile, dimension == 2 ? SegmentLayout::Plan : SegmentLayout::Spatial, L"fault line");
    if (faults.status == SegmentFileContents::Status::NotOpened) {
        alert(L"Error opening fault line file.\n");
        return RTERROR;
    }
    if (faults.status == SegmentFileContents::Status::Malformed) {
        alert(faults.message);
        return RTERROR;
    }

    const auto outputPath = project::siblingPath(triangleFile, kFaultedTriangleExtension);
    std::ofstream out;
    if (outputPath) out.open(filePath(*outputPath), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        alert(L"Error opening output file.\n");
        return RTERROR;
    }

    const SegmentEndIndex onBoundary(std::move(boundary));
    FaultSurface surface(std::move(triangles));
    int faultNumber = 0;
    StepProgress progress(L"Applying Fault Lines", faults.segments.size(), 1);
    for (const Segment& recorded : faults.segments) {
        progress.advance(static_cast<std::size_t>(faultNumber));
        ++faultNumber;
        if (acedUsrBrk() == 1) return RTCAN;
        if (onBoundary.holds(recorded)) continue;
        Segment fault = recorded;
        if (applyFaultSegment(surface, fault, faultNumber) == RTCAN) return RTCAN;
        surface.compactIfSparse();
    }

    acutPrintf(L"Done\n");
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
        alert(L"Error writing " + *outputPath + L".");
        return RTERROR;
    }
    return 0;
}

} // namespace vog::surface
