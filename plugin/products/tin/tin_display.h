// The TIN display: the project's surface drawn as one 3DFACE per triangle on
// a layer the user names, replacing what that layer held.
#pragma once

#include "surface/files/triangle_file.h"

#include <string>

namespace vog::products {

// The layer of the display; kept from one use of the command to the next
// while the plug-in is loaded, "KT_Tin" whenever it would be empty.
std::wstring& tinLayerName();

// Draws one face per triangle of the open triangle file, in file order, its
// fourth corner repeating the first. Stops at the first face that cannot be
// made, after an alert, with RTERROR; the faces made so far stay. The break
// key is polled before every face: RTCAN, with the faces made so far kept.
// RTNORM at the end of the file.
int drawSurfaceFaces(surface::TriangleFileReader& reader, const std::wstring& layer);

} // namespace vog::products
