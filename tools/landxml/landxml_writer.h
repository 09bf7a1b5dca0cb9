// Writing a surface as a LandXML 1.2 document: one <Surface> whose
// <Definition surfType="TIN"> holds the points (<P id="n">northing easting
// elevation</P>) and the faces (<F>i j k</F>), and the <Units> element.
//
// Corners that several triangles share (equal numbers, the sign of a zero
// included) become one point, numbered from 1 in the order the triangles
// first use them. Each coordinate is written with six decimals when those
// give back exactly the value read, as they do for every number the system
// writes, and otherwise with the fewest digits that do.
//
// The system's triangles run clockwise in plan; LandXML faces are listed
// counter-clockwise, so each face names the triangle's first, third and
// second corner.
#pragma once

#include "geometry/geometry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vog::landxml {

constexpr const char* kLandXmlNamespace = "http://www.landxml.org/schema/LandXML-1.2";

enum class Units { Metric, Imperial };

// A surface name can go into the document: UTF-8 text of characters XML
// allows, without control characters, at most 1000 bytes.
bool isSurfaceName(std::string_view name);

// Appends the coordinate as the document holds it (above).
void appendCoordinate(std::string& out, double value);

class TinDocument {
  public:
    void addTriangle(const surface::Triangle& triangle);

    std::size_t pointCount() const { return points_.size(); }
    std::size_t faceCount() const { return faces_.size() / 3; }

    // The whole document. date is YYYY-MM-DD and time hh:mm:ss; the name
    // must pass isSurfaceName.
    std::string text(const std::string& name, Units units, const std::string& date,
                     const std::string& time) const;

  private:
    // The points found so far by their corner's bits, in an open-addressed
    // table (a slot's id 0 is empty): a million triangles look up three
    // million corners.
    struct Slot {
        std::uint64_t bits[3];
        std::uint32_t id = 0;
    };
    std::uint32_t pointId(const surface::Point3& corner);
    void grow();

    std::vector<Slot> slots_;
    std::vector<surface::Point3> points_;
    std::vector<std::uint32_t> faces_; // three point ids per face, as written
};

} // namespace vog::landxml
