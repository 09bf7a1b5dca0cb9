#include "landxml/landxml_reader.h"

#include "surface/files/point_file.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace vog::landxml {

namespace {

// The text of one <P> or <F> is a few numbers: more than this is not a
// point or a face, and is not gathered further.
constexpr std::size_t kLongestElementText = 1024;
// The file is handed to the parser in blocks of this size.
constexpr std::size_t kBlockBytes = 1 << 20;

// Where an element sits in the structure the reader looks for:
// LandXML / Surfaces / Surface / Definition / Pnts / P and .../Faces / F.
enum class Kind { Other, Root, Units, Surfaces, Surface, Definition, Pnts, Faces, P, F };

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The tokens of a list of numbers, split at XML white space: the first
// four of them, and how many there are.
struct List {
    std::array<std::string_view, 4> tokens;
    std::size_t size = 0;
};

List splitList(std::string_view text) {
    List list;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isXmlSpace(text[i]))
            ++i;
        std::size_t start = i;
        while (i < text.size() && !isXmlSpace(text[i]))
            ++i;
        if (i == start) break;
        if (list.size < list.tokens.size()) list.tokens[list.size] = text.substr(start, i - start);
        ++list.size;
    }
    return list;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isXmlSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isXmlSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// A decimal floating-point number as XML Schema writes a double (optional
// sign, digits with an optional point, optional exponent); the whole token.
bool parseDecimal(std::string_view token, double& value) {
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    if (token.empty() || token.front() == '+') return false;
    const char* end = token.data() + token.size();
    auto [stop, ec] = std::from_chars(token.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || stop != end) return false;
    return std::isfinite(value); // from_chars also takes "inf" and "nan"
}

bool parseId(std::string_view token, std::uint64_t& id) {
    const char* end = token.data() + token.size();
    auto [stop, ec] = std::from_chars(token.data(), end, id);
    return !token.empty() && ec == std::errc() && stop == end;
}

// A token shown in a message: its start, control characters replaced.
std::string shown(std::string_view token) {
    std::string text(token.substr(0, 40));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    if (token.size() > 40) text += "...";
    return "\"" + text + "\"";
}

std::string_view xmlText(const xmlChar* text) {
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// The value of a SAX2 attribute (five pointers per attribute: local name,
// prefix, URI, value start, value end) without a prefix. Without entity
// substitution the parser hands an ampersand in an attribute value on as the
// reference "&#38;" (a literal one cannot occur there, since a bare "&" is
// not well-formed): it is turned back into the character.
bool findAttribute(int count, const xmlChar** attributes, std::string_view name,
                   std::string& value) {
    for (int i = 0; i < count; ++i) {
        const xmlChar** a = attributes + 5 * i;
        if (a[1] == nullptr && xmlText(a[0]) == name) {
            std::string_view raw(reinterpret_cast<const char*>(a[3]),
                                 static_cast<std::size_t>(a[4] - a[3]));
            value.clear();
            for (std::size_t at = 0;;) {
                std::size_t amp = raw.find("&#38;", at);
                value.append(raw.substr(at, amp - at));
                if (amp == std::string_view::npos) break;
                value += '&';
                at = amp + 5;
            }
            return true;
        }
    }
    return false;
}

std::string numberText(std::uint64_t n) {
    return std::to_string(n);
}

struct Reader {
    std::string path;
    const std::string* wanted = nullptr; // the name asked for, or null
    xmlParserCtxtPtr parser = nullptr;

    std::vector<Kind> open; // the kinds of the open elements, outermost first
    std::vector<SurfaceSummary> surfaces;
    bool definitionSeen = false; // the current Surface has had its Definition
    bool collecting = false;     // the points and faces seen now are the surface taken
    bool taken = false;          // a surface has been chosen
    bool several = false;        // no name, and more than one TIN surface
    std::string duplicateName;   // the name asked for belongs to two TIN surfaces

    std::string xmlProblem;     // the first well-formedness problem, whole message
    std::string contentProblem; // the first problem in the surface taken

    // The element whose text is being gathered.
    int elementLine = 0;
    std::string text;
    bool textTooLong = false;
    bool childInside = false; // an element inside the <P> or <F>
    bool hasId = false;
    std::string idText;
    std::string invisibleText;
    bool hasInvisible = false;

    TinSurface surface;
    std::unordered_map<std::uint64_t, std::uint32_t> pointIndex;
    std::vector<int> pointLines;

    int line() const { return xmlSAX2GetLineNumber(parser); }
    std::string at(int lineNumber) const {
        return "line " + std::to_string(lineNumber) + " of " + path + ": ";
    }

    void stop(const std::string& message) {
        if (xmlProblem.empty()) xmlProblem = message;
        xmlStopParser(parser);
    }
    // A problem in the point or face just read, at its line.
    void problem(const std::string& message) {
        if (contentProblem.empty()) contentProblem = at(elementLine) + message;
        collecting = false; // nothing more of this surface is needed
        surface.points.clear();
        surface.faces.clear();
    }

    void startElement(std::string_view name, int attributeCount, const xmlChar** attributes);
    void endElement();
    void beginSurface(int attributeCount, const xmlChar** attributes);
    void beginDefinition(int attributeCount, const xmlChar** attributes);
    void endPoint();
    void endFace();
};

void Reader::startElement(std::string_view name, int attributeCount, const xmlChar** attributes) {
    Kind parent = open.empty() ? Kind::Other : open.back();
    Kind kind = Kind::Other;
    std::string value;
    if (open.empty()) {
        if (name != "LandXML") {
            stop(at(line()) + "not a LandXML document: its root element is <" +
                 std::string(name.substr(0, 60)) + ">, not <LandXML>");
            return;
        }
        kind = Kind::Root;
    } else {
        switch (parent) {
        case Kind::Root:
            if (name == "Surfaces")
                kind = Kind::Surfaces;
            else if (name == "Units")
                kind = Kind::Units;
            break;
        case Kind::Units:
            if ((name == "Metric" || name == "Imperial") &&
                findAttribute(attributeCount, attributes, "linearUnit", value))
                surface.linearUnit = std::string(trimmed(value));
            break;
        case Kind::Surfaces:
            if (name == "Surface") {
                kind = Kind::Surface;
                beginSurface(attributeCount, attributes);
            }
            break;
        case Kind::Surface:
            if (name == "Definition" && !definitionSeen) {
                definitionSeen = true;
                if (findAttribute(attributeCount, attributes, "surfType", value) &&
                    trimmed(value) == "TIN") {
                    kind = Kind::Definition;
                    beginDefinition(attributeCount, attributes);
                }
            }
            break;
        case Kind::Definition:
            if (name == "Pnts")
                kind = Kind::Pnts;
            else if (name == "Faces")
                kind = Kind::Faces;
            break;
        case Kind::Pnts:
        case Kind::Faces:
            if (name == (parent == Kind::Pnts ? "P" : "F")) {
                kind = parent == Kind::Pnts ? Kind::P : Kind::F;
                ++(kind == Kind::P ? surfaces.back().points : surfaces.back().faces);
                if (collecting) {
                    elementLine = line();
                    text.clear();
                    textTooLong = false;
                    childInside = false;
                    hasId = findAttribute(attributeCount, attributes, "id", value);
                    idText = hasId ? std::string(trimmed(value)) : std::string();
                    hasInvisible = findAttribute(attributeCount, attributes, "i", value);
                    invisibleText = hasInvisible ? std::string(trimmed(value)) : std::string();
                }
            }
            break;
        case Kind::P:
        case Kind::F:
            childInside = true;
            break;
        default:
            break;
        }
    }
    open.push_back(kind);
}

void Reader::beginSurface(int attributeCount, const xmlChar** attributes) {
    SurfaceSummary summary;
    findAttribute(attributeCount, attributes, "name", summary.name);
    surfaces.push_back(std::move(summary));
    definitionSeen = false;
}

void Reader::beginDefinition(int, const xmlChar**) {
    SurfaceSummary& current = surfaces.back();
    current.tin = true;
    if (wanted) {
        if (current.name != *wanted) return;
        if (taken) {
            duplicateName = current.name;
            return;
        }
    } else if (taken) {
        // A second TIN surface: the choice is the user's. Only the list is
        // needed from here on.
        several = true;
        collecting = false;
        surface.points = {};
        surface.faces = {};
        pointIndex = {};
        pointLines = {};
        return;
    }
    taken = true;
    collecting = true;
    surface.name = current.name;
}

void Reader::endElement() {
    if (open.empty()) return;
    Kind kind = open.back();
    open.pop_back();
    if (kind == Kind::P && collecting)
        endPoint();
    else if (kind == Kind::F && collecting)
        endFace();
    else if (kind == Kind::Definition)
        collecting = false;
}

void Reader::endPoint() {
    if (childInside)
        return problem("a point <P> holds an element; it must hold only "
                       "its northing, easting and elevation");
    if (!hasId) return problem("a point <P> has no id");
    std::uint64_t id;
    if (!parseId(idText, id))
        return problem("the point id " + shown(idText) + " is not a whole number");
    if (textTooLong) return problem("point " + idText + " holds too long a text");
    List list = splitList(text);
    if (list.size != 3)
        return problem("point " + idText + " has " + numberText(list.size) +
                       (list.size == 1 ? " number" : " numbers") +
                       "; a point is its northing, easting and elevation");
    double values[3];
    for (int i = 0; i < 3; ++i)
        if (!parseDecimal(list.tokens[i], values[i]))
            return problem("point " + idText + ": " + shown(list.tokens[i]) + " is not a number");
    // northing easting elevation; the system's points are easting,
    // northing, elevation.
    surface::Point3 point{values[1], values[0], values[2]};
    if (!(std::fabs(point.x) <= surface::kLargestPlanCoordinate &&
          std::fabs(point.y) <= surface::kLargestPlanCoordinate &&
          std::fabs(point.z) <= surface::kLargestElevation))
        return problem("point " + idText +
                       " lies beyond the largest coordinates (100000000000 in plan, "
                       "1000000000000000 in height)");
    auto [found, inserted] =
        pointIndex.try_emplace(id, static_cast<std::uint32_t>(surface.points.size()));
    if (!inserted)
        return problem("the point id " + idText + " is used twice (lines " +
                       std::to_string(pointLines[found->second]) + " and " +
                       std::to_string(elementLine) + ")");
    if (surface.points.size() >= 0xFFFFFFFFu)
        return problem("the surface has more points than this tool can hold");
    surface.points.push_back(point);
    pointLines.push_back(elementLine);
}

void Reader::endFace() {
    if (childInside)
        return problem("a face <F> holds an element; it must hold only "
                       "the ids of its three points");
    bool invisible = false;
    if (hasInvisible) {
        if (invisibleText == "1" || invisibleText == "true")
            invisible = true;
        else if (invisibleText != "0" && invisibleText != "false")
            return problem("a face has i=" + shown(invisibleText) +
                           "; it is 1 for an invisible face and 0 otherwise");
    }
    if (textTooLong) return problem("a face holds too long a text");
    List list = splitList(text);
    if (list.size != 3)
        return problem("a face has " + numberText(list.size) +
                       (list.size == 1 ? " point id" : " point ids") +
                       "; a face of a TIN names three points");
    std::array<std::uint32_t, 3> corners;
    for (int i = 0; i < 3; ++i) {
        std::uint64_t id;
        if (!parseId(list.tokens[i], id))
            return problem("a face names " + shown(list.tokens[i]) +
                           ", which is not a point id (a whole number)");
        auto found = pointIndex.find(id);
        if (found == pointIndex.end())
            return problem("a face names point " + std::string(list.tokens[i]) +
                           ", which is not among the surface's points before it");
        corners[i] = found->second;
    }
    if (invisible)
        ++surface.invisibleFaces;
    else
        surface.faces.push_back(corners);
}

// The SAX callbacks: the user data is the Reader.

void onStartElement(void* user, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                    const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    static_cast<Reader*>(user)->startElement(xmlText(localName), attributeCount, attributes);
}

void onEndElement(void* user, const xmlChar*, const xmlChar*, const xmlChar*) {
    static_cast<Reader*>(user)->endElement();
}

void onCharacters(void* user, const xmlChar* characters, int length) {
    Reader& r = *static_cast<Reader*>(user);
    if (!r.collecting || r.open.empty() || (r.open.back() != Kind::P && r.open.back() != Kind::F))
        return;
    if (r.text.size() + static_cast<std::size_t>(length) > kLongestElementText) {
        r.textTooLong = true;
        return;
    }
    r.text.append(reinterpret_cast<const char*>(characters), static_cast<std::size_t>(length));
}

// A document type declaration: refused before its internal subset is read.
void onInternalSubset(void* user, const xmlChar*, const xmlChar*, const xmlChar*) {
    Reader& r = *static_cast<Reader*>(user);
    r.stop(r.at(r.line()) +
           "the document has a document type declaration (<!DOCTYPE ...>), which is refused: "
           "LandXML needs none, and its entities are never expanded");
}

// Entities are never looked up: every reference other than the predefined
// ones is an error.
xmlEntityPtr onGetEntity(void*, const xmlChar*) {
    return nullptr;
}

void onError(void* user, xmlErrorPtr error) {
    Reader& r = *static_cast<Reader*>(user);
    if (!error || error->level < XML_ERR_ERROR || !r.xmlProblem.empty()) return;
    std::string message = error->message ? error->message : "unreadable";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    for (char& c : message)
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
    // The parser looks for the end of a piece of markup for at most 10 MB
    // (a file of zero bytes after a start, for one).
    if (error->code == XML_ERR_INTERNAL_ERROR &&
        message.find("Huge input lookup") != std::string::npos)
        message = "a piece of markup runs on for more than 10 MB without its end";
    r.xmlProblem =
        (error->line > 0 ? r.at(error->line) : r.path + ": ") + "not well-formed XML: " + message;
}

struct ParserFree {
    void operator()(xmlParserCtxt* parser) const {
        if (parser->myDoc) xmlFreeDoc(parser->myDoc);
        xmlFreeParserCtxt(parser);
    }
};

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string counted(std::uint64_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

std::string surfaceList(const std::vector<SurfaceSummary>& surfaces) {
    std::string list;
    std::size_t shownCount = 0;
    for (const SurfaceSummary& s : surfaces) {
        if (!s.tin) continue;
        if (++shownCount > 20) {
            list += "\n  ...";
            break;
        }
        list += "\n  \"" + printableName(s.name) + "\": " + counted(s.points, "point") + ", " +
                counted(s.faces, "face");
    }
    return list;
}

} // namespace

std::string printableName(std::string_view name) {
    std::string text(name);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

ReadResult readTinSurface(const std::string& path, const std::string* name) {
    ReadResult result;
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.message = "cannot read " + path + ": " + std::strerror(errno);
        return result;
    }
    LIBXML_TEST_VERSION

    Reader reader;
    reader.path = path;
    reader.wanted = name;

    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = onStartElement;
    sax.endElementNs = onEndElement;
    sax.characters = onCharacters;
    sax.cdataBlock = onCharacters;
    sax.ignorableWhitespace = onCharacters; // white space between numbers is a separator
    sax.internalSubset = onInternalSubset;
    sax.getEntity = onGetEntity;
    sax.serror = onError;

    std::vector<char> block(kBlockBytes);
    std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
    if (got == 0 && !std::ferror(file.get())) {
        result.message = path + ": the file is empty";
        return result;
    }
    std::unique_ptr<xmlParserCtxt, ParserFree> parser(
        xmlCreatePushParserCtxt(&sax, &reader, block.data(),
                                static_cast<int>(std::min<std::size_t>(got, 4)), path.c_str()));
    if (!parser) {
        result.message = path + ": the XML reader could not start";
        return result;
    }
    reader.parser = parser.get();
    // No network, no DTD loading, no entity substitution (XML_PARSE_NOENT and
    // XML_PARSE_DTDLOAD are left out on purpose), and the parser's built-in
    // limits on names, text and depth kept (no XML_PARSE_HUGE).
    xmlCtxtUseOptions(parser.get(), XML_PARSE_NONET | XML_PARSE_NOCDATA);

    std::size_t offset = std::min<std::size_t>(got, 4);
    bool readFailed = false;
    for (;;) {
        if (got > offset) {
            xmlParseChunk(parser.get(), block.data() + offset, static_cast<int>(got - offset), 0);
        }
        if (!reader.xmlProblem.empty() || !parser->wellFormed) break;
        got = std::fread(block.data(), 1, block.size(), file.get());
        offset = 0;
        if (got == 0) {
            readFailed = std::ferror(file.get()) != 0;
            if (!readFailed) xmlParseChunk(parser.get(), nullptr, 0, 1);
            break;
        }
    }

    if (readFailed) {
        result.message = "cannot read " + path + ": " + std::strerror(errno);
        return result;
    }
    if (!reader.xmlProblem.empty() || !parser->wellFormed) {
        result.message =
            reader.xmlProblem.empty() ? path + ": not well-formed XML" : reader.xmlProblem;
        return result;
    }
    result.surfaces = std::move(reader.surfaces);
    std::size_t tinCount = 0;
    for (const SurfaceSummary& s : result.surfaces)
        tinCount += s.tin;
    if (reader.several) {
        result.outcome = ReadResult::Outcome::Several;
        result.message = path + " holds " + std::to_string(tinCount) +
                         " TIN surfaces; choose one with --name:" + surfaceList(result.surfaces);
        return result;
    }
    if (!reader.duplicateName.empty()) {
        result.message =
            path + ": two TIN surfaces are named \"" + printableName(reader.duplicateName) + "\"";
        return result;
    }
    if (!reader.taken) {
        if (tinCount == 0)
            result.message = path + " holds no TIN surface (<Surface> with <Definition "
                                    "surfType=\"TIN\">)";
        else
            result.message = path + " has no TIN surface named \"" + printableName(*name) +
                             "\"; it holds:" + surfaceList(result.surfaces);
        return result;
    }
    if (!reader.contentProblem.empty()) {
        result.message = reader.contentProblem;
        return result;
    }
    result.outcome = ReadResult::Outcome::Surface;
    result.surface = std::move(reader.surface);
    return result;
}

} // namespace vog::landxml
