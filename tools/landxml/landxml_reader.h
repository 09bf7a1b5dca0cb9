// Reading one TIN surface out of a LandXML document.
//
// The document is streamed through libxml2's SAX parser, a block at a time,
// so a file of any size is read in bounded memory besides the points and
// faces of the one surface taken. Only the surface taken is held; the others
// are counted for the list shown when the choice is left open.
//
// What is never done: loading a DTD or any external entity, touching the
// network, expanding an entity. A document with a document type declaration
// is refused as soon as the declaration begins, before any of its entity
// declarations is read; LandXML needs none, and it is where entity-expansion
// bombs live. Without a DTD every entity reference other than the five the
// XML standard predefines and character references is a well-formedness
// error.
#pragma once

#include "geometry/geometry.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vog::landxml {

// A surface of the document as the list of surfaces shows it.
struct SurfaceSummary {
    std::string name;
    bool tin = false; // it has a Definition with surfType="TIN"
    std::uint64_t points = 0;
    std::uint64_t faces = 0;
};

// The surface taken: its points as easting (x), northing (y) and elevation
// (z), and its visible faces in document order, each three indices into the
// points in the order the face lists them.
struct TinSurface {
    std::string name;
    std::vector<surface::Point3> points;
    std::vector<std::array<std::uint32_t, 3>> faces;
    std::uint64_t invisibleFaces = 0;
    std::string linearUnit; // the linearUnit of <Units>, empty when it has none
};

struct ReadResult {
    enum class Outcome {
        Surface, // the surface was read in full
        Failed,  // message says what is wrong
        Several, // no name was given and the document holds several TIN surfaces
    };
    Outcome outcome = Outcome::Failed;
    std::string message;
    std::vector<SurfaceSummary> surfaces; // every Surface element, in document order
    TinSurface surface;
};

// A surface name for a message: control characters (a document can hold
// them as character references) shown as "?".
std::string printableName(std::string_view name);

// Reads the TIN surface named (when name is not null) or the only one. The
// path is used as given to open the file and in the messages.
ReadResult readTinSurface(const std::string& path, const std::string* name);

} // namespace vog::landxml
