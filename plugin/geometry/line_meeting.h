// Where two lines in space meet: the lines through the ends of two segments,
// or the segments themselves.
#pragma once

#include "geometry/geometry.h"

#include <optional>

namespace vog::geometry {

// Whether the meeting point must lie on both segments or only on both lines.
enum class MeetingOn { lines, segments };

// The point where the line through from1-to1 meets the line through
// from2-to2. None when either has no length, when they are parallel (within
// a relative 1e-14), when they pass each other at a distance of more than
// 1e-9 of the largest coordinate (at least 1), and, on segments, when the
// point lies beyond either segment by more than 1e-12 of its length.
std::optional<surface::Point3> meetingPoint(const surface::Point3& from1,
                                            const surface::Point3& to1,
                                            const surface::Point3& from2,
                                            const surface::Point3& to2, MeetingOn on);

} // namespace vog::geometry
