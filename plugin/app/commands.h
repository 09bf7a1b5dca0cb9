// The command bodies behind the ten LISP functions, in function-code order.
// Each returns a host status code that the LISP wrappers ignore.
#pragma once

#include "host_api.h"

namespace vog {

int ktexsecCommand();     // 0: ground profile along a picked polyline
int contoursCommand();    // 1: contours of the project's surface
int rmeshCommand();       // 2: rectangular 3-D mesh of the surface
int triangulateCommand(); // 3: build the project's surface from its point file
int showtinCommand();     // 7: the surface's triangles as 3-D faces
int volumesCommand();     // 8: cut and fill between two surfaces

} // namespace vog
