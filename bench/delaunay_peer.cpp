// The peer of the surface benchmark: a file-to-file Delaunay triangulation
// on Debian's CGAL. Reads "x y z" points (white space separated) and writes
// one triangle per line, the nine corner numbers with six decimals each,
// corners clockwise, as the triangle files of the plug-in hold them.
//
//   vog_delaunay_peer points.xyz triangles.tin
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using VertexBase = CGAL::Triangulation_vertex_base_with_info_2<double, Kernel>;
using Data = CGAL::Triangulation_data_structure_2<VertexBase>;
using Delaunay = CGAL::Delaunay_triangulation_2<Kernel, Data>;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s points.xyz triangles.tin\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::pair<Kernel::Point_2, double>> points;
    const char* p = text.data();
    const char* end = p + text.size();
    auto skip = [&] {
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r'))
            ++p;
    };
    for (;;) {
        double v[3];
        int k = 0;
        for (; k < 3; ++k) {
            skip();
            auto r = std::from_chars(p, end, v[k]);
            if (r.ec != std::errc()) break;
            p = r.ptr;
        }
        if (k < 3) break;
        points.push_back({Kernel::Point_2(v[0], v[1]), v[2]});
    }

    Delaunay triangulation(points.begin(), points.end());

    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::fprintf(stderr, "cannot create %s\n", argv[2]);
        return 1;
    }
    std::vector<char> buffer(1 << 20);
    std::setvbuf(out, buffer.data(), _IOFBF, buffer.size());
    for (auto f = triangulation.finite_faces_begin(); f != triangulation.finite_faces_end(); ++f) {
        // The library turns counter-clockwise: write the corners backwards.
        for (int i = 2; i >= 0; --i) {
            const auto v = f->vertex(i);
            std::fprintf(out, i ? "%lf %lf %lf " : "%lf %lf %lf\n", v->point().x(), v->point().y(),
                         v->info());
        }
    }
    const bool ok = std::fflush(out) == 0;
    std::fclose(out);
    return ok ? 0 : 1;
}
