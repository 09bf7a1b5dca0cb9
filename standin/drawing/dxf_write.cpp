// The drawing as an ASCII drawing-exchange file of release 12 (AC1009).
#include "host/standin.h"

#include <array>
#include <charconv>
#include <cmath>
#include <fstream>

namespace standin {

namespace {

// Shortest text that reads back as the same double.
std::string number(double v) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    std::string s(buffer, end);
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

class DxfWriter {
  public:
    explicit DxfWriter(std::ostream& out) : out_(out) {}
    void text(int code, const std::string& value) { out_ << code << "\n" << value << "\n"; }
    void text(int code, const std::wstring& value) { text(code, toUtf8(value)); }
    void integer(int code, long value) { out_ << code << "\n" << value << "\n"; }
    void real(int code, double value) { out_ << code << "\n" << number(value) << "\n"; }
    void point(int code, const double p[3]) {
        real(code, p[0]);
        real(code + 10, p[1]);
        real(code + 20, p[2]);
    }

  private:
    std::ostream& out_;
};

void writeHeader(DxfWriter& w, const DrawingDatabase& db) {
    Extents box = db.extents();
    if (box.empty) box.add(std::array<double, 3>{0, 0, 0}.data());
    w.text(0, "SECTION");
    w.text(2, "HEADER");
    w.text(9, "$ACADVER");
    w.text(1, "AC1009");
    w.text(9, "$EXTMIN");
    w.point(10, box.min);
    w.text(9, "$EXTMAX");
    w.point(10, box.max);
    w.text(0, "ENDSEC");
}

void writeTables(DxfWriter& w, const DrawingDatabase& db) {
    w.text(0, "SECTION");
    w.text(2, "TABLES");
    w.text(0, "TABLE");
    w.text(2, "LTYPE");
    w.integer(70, 1);
    w.text(0, "LTYPE");
    w.text(2, "CONTINUOUS");
    w.integer(70, 0);
    w.text(3, "Solid line");
    w.integer(72, 65);
    w.integer(73, 0);
    w.real(40, 0.0);
    w.text(0, "ENDTAB");
    w.text(0, "TABLE");
    w.text(2, "LAYER");
    w.integer(70, static_cast<long>(db.layers.size()));
    for (const Layer& l : db.layers) {
        w.text(0, "LAYER");
        w.text(2, l.name);
        w.integer(70, 0);
        w.integer(62, l.colour);
        w.text(6, "CONTINUOUS"); // the only linetype the table defines
    }
    w.text(0, "ENDTAB");
    w.text(0, "ENDSEC");
}

void writeCommon(DxfWriter& w, const Entity& e, const char* type) {
    w.text(0, type);
    w.text(8, e.layer);
    if (const Group* colour = e.group(62)) w.integer(62, colour->integer);
}

void writeLwpolyline(DxfWriter& w, const Entity& e) {
    // Written as an old-style polyline with bulges on its vertices.
    double elevation = e.real(38);
    double width = e.real(43);
    long flags = e.integer(70) & 1; // closed
    writeCommon(w, e, "POLYLINE");
    w.integer(66, 1);
    double origin[3] = {0, 0, elevation};
    w.point(10, origin);
    w.integer(70, flags);
    if (width != 0) {
        w.real(40, width);
        w.real(41, width);
    }
    // Each vertex is a 10 group followed by its own 40/41/42 groups.
    for (std::size_t i = 0; i < e.groups.size(); ++i) {
        if (e.groups[i].code != 10) continue;
        w.text(0, "VERTEX");
        w.text(8, e.layer);
        double p[3] = {e.groups[i].values[0], e.groups[i].values[1], elevation};
        w.point(10, p);
        for (std::size_t k = i + 1; k < e.groups.size() && e.groups[k].code != 10; ++k) {
            int code = e.groups[k].code;
            if (code == 40 || code == 41 || code == 42) w.real(code, e.groups[k].values[0]);
        }
    }
    w.text(0, "SEQEND");
    w.text(8, e.layer);
}

void writeEntity(DxfWriter& w, const Entity& e) {
    if (e.type == L"LWPOLYLINE") {
        writeLwpolyline(w, e);
        return;
    }
    writeCommon(w, e, toUtf8(e.type).c_str());
    if (e.type == L"POLYLINE") {
        w.integer(66, 1);
        // The header's point carries the elevation of a two-dimensional polyline.
        const Group* at = e.group(10);
        double origin[3] = {0, 0, at ? at->values[2] : 0};
        w.point(10, origin);
    } else if (e.type != L"SEQEND") {
        for (const Group& g : e.groups)
            if (g.code >= 10 && g.code <= 13) w.point(g.code, g.values);
    }
    for (const Group& g : e.groups) {
        if ((g.code >= 40 && g.code <= 42) || g.code == 39)
            w.real(g.code, g.values[0]);
        else if (g.code == 70 || g.code == 71 || g.code == 72)
            w.integer(g.code, g.integer);
    }
}

} // namespace

bool writeDxf(const DrawingDatabase& db, const std::string& path, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    DxfWriter w(out);
    writeHeader(w, db);
    writeTables(w, db);
    w.text(0, "SECTION");
    w.text(2, "ENTITIES");
    bool openSequence = false;
    for (const Entity& e : db.entities) {
        if (e.erased) continue;
        // A sequence left unfinished in the drawing is closed in the file, so
        // that the file stays readable; what was made of it is kept.
        if (openSequence && !e.subentity) {
            w.text(0, "SEQEND");
            w.text(8, "0");
            openSequence = false;
        }
        writeEntity(w, e);
        if (e.type == L"POLYLINE") openSequence = true;
        if (e.type == L"SEQEND") openSequence = false;
    }
    if (openSequence) {
        w.text(0, "SEQEND");
        w.text(8, "0");
    }
    w.text(0, "ENDSEC");
    w.text(0, "EOF");
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace standin
