// The edge exchange file "kttin.asc": the surface as 3-D edges, one a line,
// six numbers each (x1 y1 z1 x2 y2 z2), blanks or tabs between them.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace vog::products {

struct SurfaceEdge {
    std::array<double, 6> v; // x1 y1 z1 x2 y2 z2
};

enum class EdgeReadResult { Read, CannotOpen, Malformed };

struct EdgeTable {
    std::vector<SurfaceEdge> edges; // distinct edges in file order
    std::size_t countPass = 0;      // the count pass's N: one per read attempt, from 1
    std::size_t malformedLine = 0;
    std::string malformedText;
    std::string malformedDetail; // "(6 numbers expected, M found)"
};

// Reads the distinct edges of the file: blank lines are skipped, a complete
// last line without a line end is used, a line that is not six finite numbers
// is Malformed; an edge equal to an earlier one, in either direction, is not
// stored again. A path that is not a file (a folder, a device, a FIFO) or a
// file whose read fails is CannotOpen.
EdgeReadResult readEdgeExchange(const std::wstring& path, EdgeTable& table);

// The note that replaces the exchange file once it has been read.
constexpr const char* kExchangeNote = "This file was created by Sekator and may be deleted.";
bool replaceWithNote(const std::wstring& path);

} // namespace vog::products
