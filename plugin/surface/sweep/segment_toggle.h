// The segment toggle under its former name, for the code that still
// includes it so; the toggle lives with the geometry (edge_toggle.h).
#pragma once

#include "geometry/edge_toggle.h"
