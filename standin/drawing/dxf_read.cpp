// Reading a drawing-exchange file into the drawing: the layer table and the
// entities the host knows (polylines old and new, 3-D faces, lines, points).
#include "host/internal.h"
#include "host/standin.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace standin {

namespace {

struct Pair {
    int code;
    std::string value;
    int line;
};

std::string trim(const std::string& s) {
    std::size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    std::size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

// The file's lines: ended by a line feed, CR LF or a lone CR, after an
// optional UTF-8 byte-order mark.
std::vector<std::string> fileLines(std::istream& in) {
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::vector<std::string> lines;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// At most 40 characters of a line for a message, control characters shown
// as "?" so that a binary file is not echoed raw.
std::string shown(const std::string& text) {
    std::string out = text.substr(0, 40);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return out;
}

bool readPairs(const std::string& path, std::vector<Pair>& pairs, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    const std::vector<std::string> lines = fileLines(in);
    std::size_t next = 0;
    int line = 0;
    while (next < lines.size()) {
        const std::string& codeLine = lines[next++];
        ++line;
        std::string code = trim(codeLine);
        if (code.empty() && next == lines.size()) break;
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(code.c_str(), &end, 10);
        if (code.empty() || *end != '\0' || errno != 0 || v < -32768 || v > 32767 ||
            code.size() != std::char_traits<char>::length(code.c_str())) {
            error = path + " line " + std::to_string(line) + ": a group code was expected, not \"" +
                    shown(code) + "\"";
            return false;
        }
        if (next == lines.size()) {
            error = path + " line " + std::to_string(line) + ": group " + code + " has no value";
            return false;
        }
        ++line;
        std::string value = lines[next++];
        pairs.push_back({static_cast<int>(v), value, line});
        if (v == 0 && trim(value) == "EOF") break;
    }
    return true;
}

bool parseNumber(const Pair& p, double& out, const std::string& path, std::string& error) {
    std::string text = trim(p.value);
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(out)) {
        error =
            path + " line " + std::to_string(p.line) + ": \"" + shown(text) + "\" is not a number";
        return false;
    }
    return true;
}

// The groups of one entity, with x, y and z of each point joined in one group.
bool entityGroups(const std::vector<Pair>& pairs, std::size_t begin, std::size_t end,
                  std::vector<Group>& groups, const std::string& path, std::string& error) {
    for (std::size_t i = begin; i < end; ++i) {
        const Pair& p = pairs[i];
        int code = p.code;
        if (code == 5 || code == 100 || code == 330 || code == 360 || code == 102) continue;
        bool x = (code >= 10 && code <= 18) || (code >= 210 && code <= 218) ||
                 (code >= 110 && code <= 118);
        bool y = (code >= 20 && code <= 28) || (code >= 220 && code <= 228) ||
                 (code >= 120 && code <= 128);
        bool z = (code >= 30 && code <= 37) || (code >= 230 && code <= 238) ||
                 (code >= 130 && code <= 138);
        if (x || y || z) {
            double v;
            if (!parseNumber(p, v, path, error)) return false;
            if (x) {
                Group g;
                g.code = static_cast<short>(code);
                g.values[0] = v;
                groups.push_back(g);
            } else {
                int base = code - (y ? 10 : 20);
                for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
                    if (it->code == base) {
                        it->values[y ? 1 : 2] = v;
                        break;
                    }
                }
            }
            continue;
        }
        Group g;
        g.code = static_cast<short>(code);
        switch (carried(code)) {
        case Carries::String:
            g.text = fromUtf8(p.value);
            break;
        case Carries::Real:
            if (!parseNumber(p, g.values[0], path, error)) return false;
            break;
        case Carries::Short:
        case Carries::Long: {
            double v;
            if (!parseNumber(p, v, path, error)) return false;
            g.integer = static_cast<long>(v);
            break;
        }
        default:
            continue; // not kept
        }
        groups.push_back(g);
    }
    return true;
}

} // namespace

bool readDxf(DrawingDatabase& db, const std::string& path, std::string& error) {
    std::vector<Pair> pairs;
    if (!readPairs(path, pairs, error)) return false;
    std::string section;
    for (std::size_t i = 0; i < pairs.size();) {
        const Pair& p = pairs[i];
        std::string value = trim(p.value);
        if (p.code != 0) {
            ++i;
            continue;
        }
        if (value == "SECTION") {
            section =
                i + 1 < pairs.size() && pairs[i + 1].code == 2 ? trim(pairs[i + 1].value) : "";
            i += 2;
            continue;
        }
        if (value == "ENDSEC" || value == "EOF") {
            section.clear();
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < pairs.size() && pairs[end].code != 0)
            ++end;
        if (section == "TABLES" && value == "LAYER") {
            Layer layer;
            for (std::size_t k = i + 1; k < end; ++k) {
                if (pairs[k].code == 2) layer.name = fromUtf8(trim(pairs[k].value));
                if (pairs[k].code == 62) layer.colour = std::abs(std::atoi(pairs[k].value.c_str()));
                if (pairs[k].code == 6) layer.linetype = fromUtf8(trim(pairs[k].value));
            }
            if (!layer.name.empty()) {
                Layer& l = db.layer(layer.name);
                l.colour = layer.colour;
                l.linetype = layer.linetype;
            }
        } else if (section == "ENTITIES") {
            static const char* known[] = {"POLYLINE", "VERTEX",     "SEQEND", "3DFACE",
                                          "LINE",     "LWPOLYLINE", "POINT"};
            bool supported = false;
            for (const char* k : known)
                supported = supported || value == k;
            if (supported) {
                std::vector<Group> groups;
                if (!entityGroups(pairs, i + 1, end, groups, path, error)) return false;
                std::wstring reason;
                if (makeFromGroups(db, fromUtf8(value), groups, &reason) != RTNORM) {
                    error = path + " line " + std::to_string(p.line) + ": " + value +
                            " not read: " + toUtf8(reason);
                    return false;
                }
            }
        }
        i = end;
    }
    db.inSequence = false;
    return true;
}

} // namespace standin
