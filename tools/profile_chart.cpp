// profile-chart: draws a profile file (station and elevation per line) as an
// SVG chart with labelled axes.
//
//   profile-chart [--units UNIT] [--start STATION] PROFILE.pfl CHART.svg [TITLE]
//
// The profile file holds neither the drawing's units nor the starting station
// the user entered (its first line is the first crossing): --units names the
// unit for the axis titles ("Station (m)"), --start makes the station axis
// begin at the starting station, its ticks counted from there.
#include "markup_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A round step for about n ticks over the span.
double tickStep(double span, int n) {
    double raw = span / n;
    double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * magnitude) return m * magnitude;
    return 10 * magnitude;
}

// "Station (m)", or "Station" when the unit is not known.
std::string axisTitle(const std::string& quantity, const std::string& units) {
    return units.empty() ? quantity : quantity + " (" + units + ")";
}

const char* kUsage =
    "usage: profile-chart [--units UNIT] [--start STATION] PROFILE.pfl CHART.svg [TITLE]\n";

// The whole text as a finite number.
bool parseNumber(const std::string& text, double& value) {
    std::istringstream in(text);
    std::string rest;
    return (in >> value) && !(in >> rest) && std::isfinite(value);
}

} // namespace

int main(int argc, char** argv) {
    std::string units;
    bool haveStart = false;
    double start = 0;
    std::vector<char*> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--units" || arg == "--start") && i + 1 >= argc) {
            std::fprintf(stderr, "profile-chart: %s needs a value\n%s", arg.c_str(), kUsage);
            return 2;
        }
        if (arg == "--units") {
            units = argv[++i];
        } else if (arg == "--start") {
            if (!parseNumber(argv[++i], start)) {
                std::fprintf(stderr, "profile-chart: --start takes a number, not %s\n", argv[i]);
                return 2;
            }
            haveStart = true;
        } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            std::fprintf(stderr, "profile-chart: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.size() < 2 || files.size() > 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    argc = static_cast<int>(files.size()) + 1;
    files.insert(files.begin(), argv[0]);
    argv = files.data();
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "profile-chart: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<std::pair<double, double>> points;
    std::string line;
    long number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream fields(line);
        double s, z;
        std::string rest;
        if (!(fields >> s >> z) || (fields >> rest)) {
            if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
            std::fprintf(stderr,
                         "profile-chart: line %ld of %s is not a station and elevation: %s\n",
                         number, argv[1], line.c_str());
            return 1;
        }
        points.emplace_back(s, z);
    }
    if (points.empty()) {
        std::fprintf(stderr, "profile-chart: %s holds no profile points\n", argv[1]);
        return 1;
    }
    double s0 = points.front().first, s1 = points.front().first;
    double z0 = points.front().second, z1 = points.front().second;
    for (auto [s, z] : points) {
        s0 = std::min(s0, s);
        s1 = std::max(s1, s);
        z0 = std::min(z0, z);
        z1 = std::max(z1, z);
    }
    if (haveStart) {
        if (start > s0)
            std::fprintf(stderr,
                         "profile-chart: the profile begins before station %g; the chart starts at "
                         "its first station\n",
                         start);
        else
            s0 = start;
    }
    if (s1 == s0) s1 = s0 + 1;
    if (z1 == z0) z1 = z0 + 1;
    double zs = tickStep(z1 - z0, 6), ss = tickStep(s1 - s0, 8);
    z0 = std::floor(z0 / zs) * zs;
    z1 = std::ceil(z1 / zs) * zs;

    const double width = 900, height = 400, left = 80, right = 20, top = 40, bottom = 60;
    auto px = [&](double s) { return left + (s - s0) / (s1 - s0) * (width - left - right); };
    auto py = [&](double z) { return top + (z1 - z) / (z1 - z0) * (height - top - bottom); };

    std::ofstream out(argv[2], std::ios::trunc);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    std::string title = argc == 4 ? argv[3] : "Ground profile";
    out << "<text x=\"" << width / 2 << "\" y=\"24\" text-anchor=\"middle\" font-size=\"16\">"
        << vog::tools::markupEscaped(title) << "</text>\n";
    char label[64];
    for (double z = z0; z <= z1 + zs / 2; z += zs) {
        out << "<line x1=\"" << left << "\" x2=\"" << width - right << "\" y1=\"" << py(z)
            << "\" y2=\"" << py(z) << "\" stroke=\"#dddddd\"/>\n";
        std::snprintf(label, sizeof label, "%g", z);
        out << "<text x=\"" << left - 6 << "\" y=\"" << py(z) + 4 << "\" text-anchor=\"end\">"
            << label << "</text>\n";
    }
    // Ticks at round stations; the starting station is labelled at the axis's
    // start too, and a round tick too close to it gives way.
    const double firstTick = std::ceil(s0 / ss) * ss;
    if (haveStart && firstTick - s0 > ss / 1000) {
        std::snprintf(label, sizeof label, "%g", s0);
        out << "<text x=\"" << px(s0) << "\" y=\"" << height - bottom + 16
            << "\" text-anchor=\"middle\">" << label << "</text>\n";
    }
    for (double s = firstTick; s <= s1 + ss / 1000; s += ss) {
        out << "<line x1=\"" << px(s) << "\" x2=\"" << px(s) << "\" y1=\"" << top << "\" y2=\""
            << height - bottom << "\" stroke=\"#eeeeee\"/>\n";
        if (haveStart && s - s0 > ss / 1000 && s - s0 < ss / 4) continue;
        std::snprintf(label, sizeof label, "%g", s);
        out << "<text x=\"" << px(s) << "\" y=\"" << height - bottom + 16
            << "\" text-anchor=\"middle\">" << label << "</text>\n";
    }
    // From the starting station to the first crossing the line runs outside
    // the surface.
    const double firstStation = points.front().first;
    if (haveStart && px(firstStation) - px(s0) > 60) {
        out << "<rect x=\"" << px(s0) << "\" y=\"" << top << "\" width=\""
            << px(firstStation) - px(s0) << "\" height=\"" << height - top - bottom
            << "\" fill=\"#f4f4f4\"/>\n";
        out << "<text x=\"" << (px(s0) + px(firstStation)) / 2 << "\" y=\""
            << (top + height - bottom) / 2
            << "\" text-anchor=\"middle\" fill=\"#888888\">no surface</text>\n";
    }
    out << "<rect x=\"" << left << "\" y=\"" << top << "\" width=\"" << width - left - right
        << "\" height=\"" << height - top - bottom << "\" fill=\"none\" stroke=\"black\"/>\n";
    out << "<text x=\"" << (left + width - right) / 2 << "\" y=\"" << height - 16
        << "\" text-anchor=\"middle\">" << vog::tools::markupEscaped(axisTitle("Station", units))
        << "</text>\n";
    out << "<text transform=\"translate(18," << (top + height - bottom) / 2
        << ") rotate(-90)\" text-anchor=\"middle\">"
        << vog::tools::markupEscaped(axisTitle("Elevation", units)) << "</text>\n";
    out << "<polyline fill=\"none\" stroke=\"#8b4513\" stroke-width=\"1.5\" points=\"";
    for (auto [s, z] : points)
        out << px(s) << "," << py(z) << " ";
    out << "\"/>\n</svg>\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "profile-chart: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
