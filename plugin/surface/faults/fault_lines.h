// Fault lines for a whole surface: reads a triangle file and the fault-line
// file, applies the faults one after another (each sees the surface as the
// faults before it left it) and writes the result beside the triangle file
// with the extension ".ftin".
#pragma once

#include "base/seam.h"
#include "base/status.h"

#include <string>

namespace vog::surface {

// The fault file layout for dimension 2 is x1 y1 x2 y2 per fault; any other
// dimension reads x1 y1 z1 x2 y2 z2 (the elevations then come from the
// surface anyway). With the project setting ubound "1" the faults that lie on
// a segment of the boundary file (dbndry), end for end in either direction,
// are left out.
//
// Returns Status::ok when every fault was processed, whether placed or not;
// failed after an alert when a file cannot be opened or written ("Error opening
// triangle file.\n", "Error opening boundary file.\n", "Error opening fault
// line file.\n", "Error opening output file.\n") or a record is malformed (the
// message names the file and line); cancelled on the break key, polled before
// every fault, with the output file left empty. Prints "Done\n" before the
// output is written; the meter "Applying Fault Lines" counts the faults.
Status applyFaultLines(const std::wstring& triangleFile, const std::wstring& faultFile,
                       int dimension, const Seam& seam);

} // namespace vog::surface
