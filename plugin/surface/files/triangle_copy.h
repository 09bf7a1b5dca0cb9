// Copies of triangle files, as the triangulate command hands a surface on
// unchanged when fault lines or the boundary are not used.
#pragma once

#include "base/seam.h"
#include "base/status.h"

#include <string>

namespace vog::surface {

// Copies the triangles of source to target, in order, record for record.
// Returns Status::ok, or failed after an alert: "Error opening triangle file." when
// the source cannot be opened, "Error opening output file." when the target
// cannot be created, the message naming the file and line of a record that
// is not a triangle, or "Error writing <target>.".
Status copyTriangleFile(const std::wstring& source, const std::wstring& target, Messages& messages);

// Hands the triangles of source on to target and removes source: the target
// holds what copyTriangleFile writes, with the same result and alerts. A
// source whose every line is already the writer's line for its triangle,
// and that holds nothing else, is renamed instead of written again. So is a
// source known to be what a copy writes (knownWritten): one that a copy or
// this function has just given and nothing has touched since, as a copy of
// a copy is the same bytes (each number's "%lf" text reads back to a value
// whose "%lf" text it is).
Status moveTriangleFile(const std::wstring& source, const std::wstring& target, Messages& messages,
                        bool knownWritten = false);

} // namespace vog::surface
