// Checks a surface file against its point file with the tests' independent
// validity checker (every triangle clockwise with an area, edges shared
// properly, no overlap, no point inside a triangle), for the benchmark's
// large cases.
//
//   vog_check_surface points.xyz surface.tin
#include "plugin/surface/surface_validity.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

using vog::surface::Point3;
using vog::surface::Triangle;

namespace {

bool readNumbers(const char* path, std::size_t perRecord, std::vector<double>& numbers) {
    std::FILE* file = std::fopen(path, "r");
    if (!file) return false;
    double v;
    while (std::fscanf(file, "%lf", &v) == 1)
        numbers.push_back(v);
    std::fclose(file);
    numbers.resize(numbers.size() / perRecord * perRecord);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s points.xyz surface.tin\n", argv[0]);
        return 2;
    }
    std::vector<double> p, t;
    if (!readNumbers(argv[1], 3, p) || !readNumbers(argv[2], 9, t)) {
        std::fprintf(stderr, "cannot read the files\n");
        return 2;
    }
    std::vector<Point3> points;
    for (std::size_t i = 0; i < p.size(); i += 3)
        points.push_back({p[i], p[i + 1], p[i + 2]});
    std::vector<Triangle> triangles;
    for (std::size_t i = 0; i < t.size(); i += 9)
        triangles.push_back({{{{t[i], t[i + 1], t[i + 2]},
                               {t[i + 3], t[i + 4], t[i + 5]},
                               {t[i + 6], t[i + 7], t[i + 8]}}}});
    const auto check = vog::surface::testing::checkSurface(triangles, points);
    std::printf("%zu triangles, area %.3Lf of hull %.3Lf: %s\n", triangles.size(), check.area,
                check.hullArea, check.fault.empty() ? "valid" : check.fault.c_str());
    return check.fault.empty() ? 0 : 1;
}
