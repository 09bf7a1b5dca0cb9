#include "landxml/landxml_writer.h"

#include "markup_text.h"

#include "surface/files/number_text.h"

#include <libxml/chvalid.h>
#include <libxml/xmlstring.h>

#include <charconv>
#include <cstring>

namespace vog::landxml {

namespace {

std::uint64_t bitsOf(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void appendNumber(std::string& out, std::uint32_t n) {
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
    out.append(digits, end);
}

} // namespace

bool isSurfaceName(std::string_view name) {
    if (name.size() > 1000) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
    int left = static_cast<int>(name.size());
    while (left > 0) {
        int length = left;
        int c = xmlGetUTF8Char(bytes, &length);
        if (c < 0x20 || !xmlIsCharQ(c)) return false; // bad UTF-8 (-1), control characters
        bytes += length;
        left -= length;
    }
    return true;
}

void appendCoordinate(std::string& out, double value) {
    const std::size_t start = out.size();
    surface::appendFixed6(out, value);
    double back;
    const char* first = out.data() + start;
    const char* last = out.data() + out.size();
    auto [stop, ec] = std::from_chars(first, last, back);
    if (ec == std::errc() && stop == last && bitsOf(back) == bitsOf(value)) return;
    // Six decimals lose something: the shortest text that reads back exactly.
    out.resize(start);
    char digits[64];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, end);
}

namespace {

std::size_t slotOf(const std::uint64_t (&bits)[3], std::size_t mask) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    for (std::uint64_t b : bits) {
        h ^= b;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    return static_cast<std::size_t>(h) & mask;
}

} // namespace

void TinDocument::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 4096 : 2 * old.size(), Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.id == 0) continue;
        std::size_t at = slotOf(slot.bits, mask);
        while (slots_[at].id != 0)
            at = (at + 1) & mask;
        slots_[at] = slot;
    }
}

std::uint32_t TinDocument::pointId(const surface::Point3& corner) {
    // At most half full.
    if (2 * (points_.size() + 1) > slots_.size()) grow();
    const std::uint64_t bits[3] = {bitsOf(corner.x), bitsOf(corner.y), bitsOf(corner.z)};
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = slotOf(bits, mask);; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.id == 0) {
            points_.push_back(corner);
            slot = Slot{{bits[0], bits[1], bits[2]}, static_cast<std::uint32_t>(points_.size())};
            return slot.id;
        }
        if (slot.bits[0] == bits[0] && slot.bits[1] == bits[1] && slot.bits[2] == bits[2])
            return slot.id;
    }
}

void TinDocument::addTriangle(const surface::Triangle& triangle) {
    std::uint32_t ids[3];
    for (int i = 0; i < 3; ++i)
        ids[i] = pointId(triangle.corners[i]);
    // Clockwise in plan to counter-clockwise: first, third, second.
    faces_.push_back(ids[0]);
    faces_.push_back(ids[2]);
    faces_.push_back(ids[1]);
}

std::string TinDocument::text(const std::string& name, Units units, const std::string& date,
                              const std::string& time) const {
    std::string out;
    out.reserve(256 + points_.size() * 56 + faces_.size() * 8);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<LandXML xmlns=\"";
    out += kLandXmlNamespace;
    out += "\" version=\"1.2\" date=\"" + date + "\" time=\"" + time + "\">\n";
    out += " <Units>\n";
    if (units == Units::Metric)
        out += "  <Metric areaUnit=\"squareMeter\" linearUnit=\"meter\" volumeUnit=\"cubicMeter\" "
               "temperatureUnit=\"celsius\" pressureUnit=\"milliBars\"/>\n";
    else
        out += "  <Imperial areaUnit=\"squareFoot\" linearUnit=\"USSurveyFoot\" "
               "volumeUnit=\"cubicYard\" temperatureUnit=\"fahrenheit\" "
               "pressureUnit=\"inchHG\"/>\n";
    out += " </Units>\n";
    out += " <Surfaces>\n";
    out += "  <Surface name=\"";
    tools::appendMarkupEscaped(out, name);
    out += "\">\n";
    out += "   <Definition surfType=\"TIN\">\n";
    out += "    <Pnts>\n";
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const surface::Point3& p = points_[i];
        out += "     <P id=\"";
        appendNumber(out, static_cast<std::uint32_t>(i + 1));
        out += "\">";
        appendCoordinate(out, p.y); // northing
        out += ' ';
        appendCoordinate(out, p.x); // easting
        out += ' ';
        appendCoordinate(out, p.z);
        out += "</P>\n";
    }
    out += "    </Pnts>\n";
    out += "    <Faces>\n";
    for (std::size_t i = 0; i < faces_.size(); i += 3) {
        out += "     <F>";
        appendNumber(out, faces_[i]);
        out += ' ';
        appendNumber(out, faces_[i + 1]);
        out += ' ';
        appendNumber(out, faces_[i + 2]);
        out += "</F>\n";
    }
    out += "    </Faces>\n";
    out += "   </Definition>\n";
    out += "  </Surface>\n";
    out += " </Surfaces>\n";
    out += "</LandXML>\n";
    return out;
}

} // namespace vog::landxml
