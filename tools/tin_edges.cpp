// tin-edges: writes the edges of a triangle file as the profile command's
// edge exchange file, six numbers per edge (x1 y1 z1 x2 y2 z2), each edge
// once, in the order the triangles first use them.
//
//   tin-edges SURFACE.tin DRAWING-FOLDER/kttin.asc
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unordered_set>

namespace {

using Corner = std::array<double, 3>;

struct EdgeHash {
    std::size_t operator()(const std::array<double, 6>& e) const {
        std::size_t h = 1469598103934665603ull;
        for (double d : e)
            h = (h ^ std::hash<double>{}(d)) * 1099511628211ull;
        return h;
    }
};

void appendNumber(std::string& out, double v) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6);
    out.append(buffer, end);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tin-edges SURFACE.tin OUT.asc\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "tin-edges: cannot read %s\n", argv[1]);
        return 1;
    }
    std::unordered_set<std::array<double, 6>, EdgeHash> seen;
    std::string out;
    std::string line;
    long lineNumber = 0;
    long triangles = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::istringstream fields(line);
        std::array<Corner, 3> c;
        int read = 0;
        for (auto& corner : c)
            for (double& v : corner)
                if (fields >> v) ++read;
        std::string rest;
        if (read == 0 && !(fields >> rest)) continue; // blank line
        if (read != 9 || (fields >> rest)) {
            std::fprintf(stderr, "tin-edges: line %ld of %s is not a triangle: %s\n", lineNumber,
                         argv[1], line.c_str());
            return 1;
        }
        ++triangles;
        for (int k = 0; k < 3; ++k) {
            Corner a = c[k], b = c[(k + 1) % 3];
            std::array<double, 6> key =
                a < b ? std::array<double, 6>{a[0], a[1], a[2], b[0], b[1], b[2]}
                      : std::array<double, 6>{b[0], b[1], b[2], a[0], a[1], a[2]};
            if (!seen.insert(key).second) continue;
            for (int i = 0; i < 3; ++i) {
                appendNumber(out, a[i]);
                out += ' ';
            }
            for (int i = 0; i < 3; ++i) {
                appendNumber(out, b[i]);
                out += i < 2 ? ' ' : '\n';
            }
        }
    }
    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file << out;
    file.close();
    if (!file) {
        std::fprintf(stderr, "tin-edges: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%ld triangles, %zu edges written to %s\n", triangles, seen.size(), argv[2]);
    return 0;
}
