// The two work files of point preparation, in the TEMP folder. The second one
// ends up as the sorted point file that the triangulation reads. Their names
// are fixed, one pair per TEMP folder; the triangulate command deletes them.
#pragma once

#include <string>

namespace vog::surface {

struct SortWorkFiles {
    std::wstring workFile;        // "sortwk1.txt": sorted points, no header
    std::wstring sortedPointFile; // "sortwk2.txt": merge output, then the result
};

// The folder named by the environment variable TEMP, or the system's
// temporary folder when TEMP is unset or empty.
std::wstring tempFolder();

// The work-file paths in tempFolder().
SortWorkFiles sortWorkFiles();

} // namespace vog::surface
