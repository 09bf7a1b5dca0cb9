// The TIN display: the project's surface drawn as one three-dimensional face
// per triangle on a layer the user names, replacing what that layer held.
#pragma once

#include "base/seam.h"
#include "base/status.h"
#include "products/common/drawing.h"
#include "surface/files/triangle_file.h"

#include <string>

namespace vog::products {

inline constexpr const wchar_t* kCannotOpenTinFile =
    L"Could not open tin file.  Command terminates.\n";

// Reads the open file through once, so that a record that is not a triangle
// is found before the old faces are deleted. Failed after the alert naming
// it (or saying the file could not be read), cancelled on the break key
// (polled per record, nothing deleted yet), ok with the file rewound.
Status checkSurfaceRecords(surface::TriangleFileReader& reader, const Seam& seam);

// Draws one face per triangle of the open triangle file, in file order, its
// fourth corner repeating the first. Stops at the first face that cannot be
// made, after an alert, failed; the faces made so far stay. The break key is
// polled before every face: cancelled, with the faces made so far kept. Ok
// at the end of the file.
Status drawSurfaceFaces(surface::TriangleFileReader& reader, const std::wstring& layer,
                        Drawing& drawing, const Seam& seam);

} // namespace vog::products
