// A plan picture of the drawing: every entity in its layer's colour, polyline
// widths to scale, framed by the zoomed view. 3-D faces are drawn first, by
// their edges in thin faint lines, so that a surface shown as faces stays a
// backdrop to the lines drawn over it. A legend of the layers stands to the
// right of the view; layers that share a colour are told apart by dashes,
// and the index contours carry their elevations.
#include "drawing/svg_legend.h"
#include "host/standin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace standin {

std::string colourOf(int colour) {
    static const char* base[] = {"#000000", "#ff0000", "#ffff00", "#00ff00", "#00ffff",
                                 "#0000ff", "#ff00ff", "#000000", "#808080", "#c0c0c0"};
    if (colour >= 0 && colour <= 9) return base[colour];
    if (colour >= 250 && colour <= 255) {
        int grey = 51 + (colour - 250) * 40;
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", grey, grey, grey);
        return buffer;
    }
    if (colour < 10 || colour > 249) return "#000000";
    // Hues in steps of 15 degrees; the last digit picks brightness and paleness.
    double hue = ((colour - 10) / 10) * 15.0;
    int shade = colour % 10;
    double value = 1.0 - (shade / 2) * 0.2;
    double saturation = shade % 2 ? 0.5 : 1.0;
    double c = value * saturation;
    double hp = hue / 60.0;
    double x = c * (1 - std::fabs(std::fmod(hp, 2) - 1));
    double r = 0, g = 0, b = 0;
    if (hp < 1)
        r = c, g = x;
    else if (hp < 2)
        r = x, g = c;
    else if (hp < 3)
        g = c, b = x;
    else if (hp < 4)
        g = x, b = c;
    else if (hp < 5)
        r = x, b = c;
    else
        r = c, b = x;
    double m = value - c;
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<int>((r + m) * 255),
                  static_cast<int>((g + m) * 255), static_cast<int>((b + m) * 255));
    return buffer;
}

namespace {

// A picture coordinate as written: an entity far outside the framed view
// (made after a zoom) is held at the edge of what any viewer draws, so the
// number stays finite.
double inPicture(double v) {
    return std::isnan(v) ? 0 : std::clamp(v, -1e15, 1e15);
}

// The frame of a picture can be drawn when the drawing's span and the scale
// that fits it into the picture are ordinary numbers; coordinates near the
// largest double overflow the span and every point would come out "nan".
bool finiteFrame(const Extents& box, double scale) {
    return std::isfinite(box.max[0] - box.min[0]) && std::isfinite(box.max[1] - box.min[1]) &&
           std::isfinite(scale) && scale > 0;
}

struct Frame {
    double minX, maxY, scale;
    // The dash pattern of each layer drawn dashed.
    std::map<std::wstring, std::string> dashes = {};
    std::string xy(double x, double y) const {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.1f,%.1f", inPicture((x - minX) * scale),
                      inPicture((maxY - y) * scale));
        return buffer;
    }
};

// The points of a line in the picture, a tenth of a unit apart at least: a
// point that lands where the one before it was drawn adds nothing.
struct PointList {
    std::string text;
    std::string last;
    void add(const Frame& f, double x, double y) {
        std::string p = f.xy(x, y);
        if (p == last) return;
        text += p + " ";
        last = std::move(p);
    }
};

constexpr double kFaceStrokeWidth = 0.3;
constexpr double kFaceStrokeOpacity = 0.35;

std::string strokeOf(const DrawingDatabase& db, const Entity& e, double width, const Frame& f,
                     double thinnest = 0.5) {
    int colour = static_cast<int>(e.integer(62, 256));
    if (colour == 256 || colour == 0) {
        Layer* layer = const_cast<DrawingDatabase&>(db).findLayer(e.layer);
        colour = layer ? layer->colour : 7;
    }
    const double shown = width > 0 ? std::max(inPicture(width * f.scale), thinnest) : thinnest;
    std::ostringstream s;
    s << " fill=\"none\" stroke=\"" << colourOf(std::abs(colour)) << "\" stroke-width=\"";
    s << shown << "\"";
    if (auto dash = f.dashes.find(e.layer); dash != f.dashes.end()) {
        // The pattern in line widths, so that round ends do not close the gaps.
        std::istringstream steps(dash->second);
        s << " stroke-dasharray=\"";
        double step;
        for (bool first = true; steps >> step; first = false)
            s << (first ? "" : " ") << step * std::max(shown, 1.0);
        s << "\"";
    }
    return s.str();
}

} // namespace

bool writeSvg(const DrawingDatabase& db, const std::string& path, std::string& error) {
    Extents box = db.zoomedView ? *db.zoomedView : db.extents();
    if (box.empty) {
        double origin[3] = {0, 0, 0};
        box.add(origin);
    }
    double w = box.max[0] - box.min[0], h = box.max[1] - box.min[1];
    double span = std::max(std::max(w, h), 1e-9);
    const double pictureSize = 1200;
    const double margin = 10;
    Frame f{box.min[0], box.max[1], pictureSize / span};
    if (!finiteFrame(box, f.scale)) {
        error = "cannot draw " + path + ": the drawing spans more than a picture can hold";
        return false;
    }
    const std::vector<picture::LayerStyle> styles = picture::layerStyles(db);
    for (const picture::LayerStyle& style : styles)
        if (!style.dash.empty()) f.dashes[style.name] = style.dash;

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    const double legendX = w * f.scale + margin;
    double pw = w * f.scale + 2 * margin, ph = h * f.scale + 2 * margin;
    if (!styles.empty()) {
        pw += picture::legendWidth();
        ph = std::max(ph, picture::legendHeight(styles.size()) + 2 * margin);
    }
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << pw << "\" height=\"" << ph
        << "\" viewBox=\"" << -margin << " " << -margin << " " << pw << " " << ph << "\">\n"
        << "<rect x=\"" << -margin << "\" y=\"" << -margin << "\" width=\"" << pw << "\" height=\""
        << ph << "\" fill=\"white\"/>\n"
        << "<g stroke-linejoin=\"round\" stroke-linecap=\"round\">\n";

    const auto& list = db.entities;
    out << "<g stroke-opacity=\"" << kFaceStrokeOpacity << "\">\n";
    for (const Entity& e : list) {
        if (e.erased || e.type != L"3DFACE") continue;
        PointList points;
        for (int code = 10; code <= 13; ++code)
            if (const Group* p = e.group(code)) points.add(f, p->values[0], p->values[1]);
        out << "<polygon points=\"" << points.text << "\""
            << strokeOf(db, e, 0, f, kFaceStrokeWidth) << "/>\n";
    }
    out << "</g>\n";
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Entity& e = list[i];
        if (e.erased || e.subentity) continue;
        if (e.type == L"POLYLINE") {
            PointList points;
            for (std::size_t k = i + 1; k < list.size() && list[k].subentity; ++k)
                if (list[k].type == L"VERTEX")
                    if (const Group* p = list[k].group(10))
                        points.add(f, p->values[0], p->values[1]);
            bool closed = e.integer(70) & 1;
            out << "<" << (closed ? "polygon" : "polyline") << " points=\"" << points.text << "\""
                << strokeOf(db, e, e.real(40), f) << "/>\n";
        } else if (e.type == L"LWPOLYLINE") {
            PointList points;
            for (const Group& g : e.groups)
                if (g.code == 10) points.add(f, g.values[0], g.values[1]);
            bool closed = e.integer(70) & 1;
            out << "<" << (closed ? "polygon" : "polyline") << " points=\"" << points.text << "\""
                << strokeOf(db, e, e.real(43), f) << "/>\n";
        } else if (e.type == L"LINE") {
            const Group* a = e.group(10);
            const Group* b = e.group(11);
            out << "<polyline points=\"" << f.xy(a->values[0], a->values[1]) << " "
                << f.xy(b->values[0], b->values[1]) << "\"" << strokeOf(db, e, 0, f) << "/>\n";
        } else if (e.type == L"POINT") {
            const Group* a = e.group(10);
            out << "<circle cx=\"" << inPicture((a->values[0] - f.minX) * f.scale) << "\" cy=\""
                << inPicture((f.maxY - a->values[1]) * f.scale) << "\" r=\"1.5\""
                << strokeOf(db, e, 0, f) << "/>\n";
        }
    }
    out << "</g>\n";
    out << picture::contourLabels(db, picture::indexContourLayer(db),
                                  [&f](double x, double y, double& px, double& py) {
                                      px = inPicture((x - f.minX) * f.scale);
                                      py = inPicture((f.maxY - y) * f.scale);
                                  });
    if (!styles.empty()) out << picture::legend(styles, legendX, 0);
    out << "</svg>\n";
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace standin
