// Copies of triangle files, as the triangulate command hands a surface on
// unchanged when fault lines or the boundary are not used.
#pragma once

#include <string>

namespace vog::surface {

// Copies the triangles of source to target, in order, record for record.
// Returns 0, or RTERROR after an alert: "Error opening triangle file." when
// the source cannot be opened, "Error opening output file." when the target
// cannot be created, the message naming the file and line of a record that
// is not a triangle, or "Error writing <target>.".
int copyTriangleFile(const std::wstring& source, const std::wstring& target);

} // namespace vog::surface
