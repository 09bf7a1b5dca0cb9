// The plan picture's legend, its layer styles and its contour labels.
#include "drawing/svg_legend.h"

#include "host/standin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

namespace standin::picture {

namespace {

constexpr double kLegendWidth = 300;
constexpr double kLegendTitle = 34;
constexpr double kLegendRow = 40;
constexpr double kLabelSpacing = 400;  // picture units of contour per label
constexpr double kLabelClearance = 70; // between the centres of two labels
constexpr double kLabelHalfLength = 22;

// Dash patterns for the second, third, ... layer of a colour, in multiples
// of the line's width (at least one picture unit).
const char* const kDashes[] = {"10 6", "3 5", "14 5 3 5", "1 6"};

bool drawn(const Entity& e) {
    return !e.erased && !e.subentity &&
           (e.type == L"POLYLINE" || e.type == L"LWPOLYLINE" || e.type == L"LINE" ||
            e.type == L"POINT" || e.type == L"3DFACE");
}

int layerColour(const DrawingDatabase& db, const std::wstring& name) {
    Layer* layer = const_cast<DrawingDatabase&>(db).findLayer(name);
    return layer ? std::abs(layer->colour) : 7;
}

// A polyline whose points all lie at one elevation: a 2-D POLYLINE (not a
// 3-D polyline or a mesh) or an LWPOLYLINE.
bool flatPolyline(const Entity& e, double& elevation) {
    if (e.type == L"POLYLINE") {
        if (e.integer(70) & (8 | 16 | 64)) return false;
        const Group* at = e.group(10);
        elevation = at ? at->values[2] : 0;
        return true;
    }
    if (e.type == L"LWPOLYLINE") {
        elevation = e.real(38);
        return true;
    }
    return false;
}

// The plan points of a polyline (its vertices) or of another drawn entity.
std::vector<std::pair<double, double>> planPoints(const DrawingDatabase& db, std::size_t i) {
    const Entity& e = db.entities[i];
    std::vector<std::pair<double, double>> points;
    if (e.type == L"POLYLINE") {
        for (std::size_t k = i + 1; k < db.entities.size() && db.entities[k].subentity; ++k)
            if (db.entities[k].type == L"VERTEX")
                if (const Group* p = db.entities[k].group(10))
                    points.emplace_back(p->values[0], p->values[1]);
    } else if (e.type == L"LWPOLYLINE") {
        for (const Group& g : e.groups)
            if (g.code == 10) points.emplace_back(g.values[0], g.values[1]);
    }
    return points;
}

std::string number(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    std::string text = buffer;
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

std::string countText(const std::map<std::wstring, long>& counts) {
    struct Name {
        const wchar_t* type;
        const char *one, *many;
    };
    static const Name names[] = {{L"POLYLINE", "polyline", "polylines"},
                                 {L"LWPOLYLINE", "polyline", "polylines"},
                                 {L"3DFACE", "3-D face", "3-D faces"},
                                 {L"LINE", "line", "lines"},
                                 {L"POINT", "point", "points"}};
    // Both kinds of polyline count as polylines.
    std::vector<std::pair<std::string, long>> parts;
    for (const Name& n : names) {
        auto found = counts.find(n.type);
        if (found == counts.end()) continue;
        std::string word = n.many;
        auto same = std::find_if(parts.begin(), parts.end(),
                                 [&](const auto& p) { return p.first == word; });
        if (same != parts.end())
            same->second += found->second;
        else
            parts.emplace_back(word, found->second);
    }
    std::string text;
    for (const auto& [word, n] : parts) {
        if (!text.empty()) text += ", ";
        std::string shown = word;
        if (n == 1)
            for (const Name& name : names)
                if (word == name.many) shown = name.one;
        text += std::to_string(n) + " " + shown;
    }
    return text;
}

} // namespace

std::vector<LayerStyle> layerStyles(const DrawingDatabase& db) {
    std::vector<LayerStyle> styles;
    std::map<std::wstring, std::size_t> byName;
    for (const Layer& layer : db.layers) {
        byName[layer.name] = styles.size();
        styles.push_back({layer.name, std::abs(layer.colour), "", {}, false});
    }
    for (const Entity& e : db.entities) {
        if (!drawn(e)) continue;
        auto found = byName.find(e.layer);
        if (found == byName.end()) {
            found = byName.emplace(e.layer, styles.size()).first;
            styles.push_back({e.layer, 7, "", {}, false});
        }
        ++styles[found->second].counts[e.type];
    }
    styles.erase(std::remove_if(styles.begin(), styles.end(),
                                [](const LayerStyle& s) { return s.counts.empty(); }),
                 styles.end());
    auto total = [](const LayerStyle& s) {
        long n = 0;
        for (const auto& [type, count] : s.counts)
            n += count;
        return n;
    };
    for (LayerStyle& s : styles)
        s.faces = s.counts.size() == 1 && s.counts.count(L"3DFACE") == 1;
    // Layers of one colour and kind: the fullest solid, the others dashed.
    std::set<std::pair<int, bool>> groups;
    for (const LayerStyle& s : styles)
        groups.insert({s.colour, s.faces});
    for (const auto& [colour, faces] : groups) {
        std::vector<LayerStyle*> same;
        for (LayerStyle& s : styles)
            if (s.colour == colour && s.faces == faces) same.push_back(&s);
        std::stable_sort(same.begin(), same.end(), [&](const LayerStyle* a, const LayerStyle* b) {
            return total(*a) > total(*b);
        });
        for (std::size_t k = 1; k < same.size(); ++k)
            same[k]->dash = kDashes[(k - 1) % std::size(kDashes)];
    }
    return styles;
}

std::wstring indexContourLayer(const DrawingDatabase& db) {
    std::map<std::wstring, std::set<long long>> levels; // in thousandths
    std::set<std::wstring> other;
    std::vector<std::wstring> order;
    for (const Entity& e : db.entities) {
        if (!drawn(e) || other.count(e.layer)) continue;
        double z = 0;
        if (!flatPolyline(e, z) || !std::isfinite(z)) {
            other.insert(e.layer);
            levels.erase(e.layer);
            continue;
        }
        if (!levels.count(e.layer)) order.push_back(e.layer);
        levels[e.layer].insert(std::llround(z * 1000));
    }
    std::wstring best;
    long long widest = 0;
    for (const std::wstring& name : order) {
        auto found = levels.find(name);
        if (found == levels.end() || found->second.size() < 2) continue;
        long long gap = -1;
        for (auto it = std::next(found->second.begin()); it != found->second.end(); ++it) {
            const long long d = *it - *std::prev(it);
            if (gap < 0 || d < gap) gap = d;
        }
        if (gap > widest) {
            widest = gap;
            best = name;
        }
    }
    return best;
}

std::string contourLabels(const DrawingDatabase& db, const std::wstring& layer,
                          const ToPicture& toPicture) {
    if (layer.empty()) return "";
    const std::string colour = colourOf(layerColour(db, layer));
    std::vector<std::pair<double, double>> placed;
    std::ostringstream out;
    for (std::size_t i = 0; i < db.entities.size(); ++i) {
        const Entity& e = db.entities[i];
        double z = 0;
        if (!drawn(e) || e.layer != layer || !flatPolyline(e, z)) continue;
        std::vector<std::pair<double, double>> line;
        for (auto [x, y] : planPoints(db, i)) {
            double px = 0, py = 0;
            toPicture(x, y, px, py);
            if (!std::isfinite(px) || !std::isfinite(py)) continue;
            if (line.empty() || px != line.back().first || py != line.back().second)
                line.emplace_back(px, py);
        }
        if (line.size() < 2) continue;
        std::vector<double> along{0};
        for (std::size_t k = 1; k < line.size(); ++k)
            along.push_back(along.back() + std::hypot(line[k].first - line[k - 1].first,
                                                      line[k].second - line[k - 1].second));
        const double length = along.back();
        if (length < 3 * kLabelHalfLength) continue;
        // The point at a distance along the line.
        auto at = [&](double s) {
            s = std::clamp(s, 0.0, length);
            std::size_t k = std::upper_bound(along.begin(), along.end(), s) - along.begin();
            k = std::clamp<std::size_t>(k, 1, line.size() - 1);
            const double piece = along[k] - along[k - 1];
            const double t = piece > 0 ? (s - along[k - 1]) / piece : 0;
            return std::pair{line[k - 1].first + t * (line[k].first - line[k - 1].first),
                             line[k - 1].second + t * (line[k].second - line[k - 1].second)};
        };
        std::vector<double> spots;
        if (length < kLabelSpacing)
            spots.push_back(length / 2);
        else
            for (double s = kLabelSpacing / 2; s < length; s += kLabelSpacing)
                spots.push_back(s);
        const std::string text = number(z);
        for (double s : spots) {
            auto [x0, y0] = at(s - kLabelHalfLength);
            auto [x1, y1] = at(s + kLabelHalfLength);
            // Where the line bends sharply the label would not follow it.
            if (std::hypot(x1 - x0, y1 - y0) < 1.6 * kLabelHalfLength) continue;
            auto [cx, cy] = at(s);
            bool crowded = false;
            for (auto [px, py] : placed)
                if (std::hypot(px - cx, py - cy) < kLabelClearance) crowded = true;
            if (crowded) continue;
            placed.emplace_back(cx, cy);
            double angle = std::atan2(y1 - y0, x1 - x0) * 180 / M_PI;
            if (angle > 90) angle -= 180;
            if (angle <= -90) angle += 180;
            char head[160];
            std::snprintf(
                head, sizeof head,
                "<text x=\"%.1f\" y=\"%.1f\" dy=\"0.35em\" transform=\"rotate(%.1f %.1f %.1f)\">",
                cx, cy, angle, cx, cy);
            out << head << text << "</text>\n";
        }
    }
    if (placed.empty()) return "";
    return "<g font-family=\"sans-serif\" font-size=\"13\" text-anchor=\"middle\" fill=\"" +
           colour + "\" stroke=\"white\" stroke-width=\"3\" paint-order=\"stroke\">\n" + out.str() +
           "</g>\n";
}

double legendWidth() {
    return kLegendWidth;
}
double legendHeight(std::size_t layers) {
    return kLegendTitle + kLegendRow * layers + 8;
}

std::string legend(const std::vector<LayerStyle>& styles, double x, double y) {
    std::ostringstream out;
    out << "<g font-family=\"sans-serif\" font-size=\"14\">\n";
    char buffer[256];
    std::snprintf(
        buffer, sizeof buffer,
        "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"white\" "
        "stroke=\"#999999\"/>\n<text x=\"%.1f\" y=\"%.1f\" font-weight=\"bold\">Layers</text>\n",
        x, y, kLegendWidth - 10, legendHeight(styles.size()), x + 10, y + 22);
    out << buffer;
    double row = y + kLegendTitle;
    for (const LayerStyle& s : styles) {
        const std::string colour = colourOf(s.colour);
        if (s.faces) {
            std::snprintf(
                buffer, sizeof buffer,
                "<path d=\"M%.1f,%.1f L%.1f,%.1f L%.1f,%.1f Z\" fill=\"none\" stroke=\"%s\" "
                "stroke-width=\"1\" stroke-opacity=\"0.5\"%s/>\n",
                x + 10, row + 22, x + 26, row + 4, x + 42, row + 22, colour.c_str(),
                s.dash.empty() ? "" : (" stroke-dasharray=\"" + s.dash + "\"").c_str());
        } else {
            std::snprintf(buffer, sizeof buffer,
                          "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
                          "stroke-width=\"2\"%s/>\n",
                          x + 10, row + 14, x + 42, row + 14, colour.c_str(),
                          s.dash.empty() ? "" : (" stroke-dasharray=\"" + s.dash + "\"").c_str());
        }
        out << buffer;
        out << "<text x=\"" << x + 52 << "\" y=\"" << row + 13 << "\">" << escaped(toUtf8(s.name))
            << "</text>\n";
        out << "<text x=\"" << x + 52 << "\" y=\"" << row + 30
            << "\" font-size=\"12\" fill=\"#555555\">colour " << s.colour << ", "
            << countText(s.counts) << "</text>\n";
        row += kLegendRow;
    }
    out << "</g>\n";
    return out.str();
}

} // namespace standin::picture
