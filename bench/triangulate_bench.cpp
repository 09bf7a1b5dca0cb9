// Times point preparation and the raw triangulation on point files (by
// default the two bundled examples) and checks that each result is a
// triangulation: every triangle clockwise, every edge used at most twice and
// then in opposite directions.
//
//   vog_bench [point file ...]
#include "app/host_seam.h"
#include "base/wide_text.h"
#include "host_api.h"
#include "surface/files/sort_work_files.h"
#include "surface/files/triangle_file.h"
#include "surface/prepare/point_preparation.h"
#include "surface/triangulation.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace vog::surface;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The number of faults found in the triangle file, and the triangle count.
std::pair<std::size_t, std::size_t> checkTriangles(const std::wstring& path) {
    using Corner = std::pair<double, double>;
    std::map<std::pair<Corner, Corner>, int> uses; // +1 forward, -1 backward, 2 twice
    TriangleFileReader reader(path);
    Triangle t;
    std::size_t count = 0, faults = 0;
    while (reader.read(t) == TriangleFileReader::Result::Triangle) {
        ++count;
        const auto& c = t.corners;
        long double turn = (static_cast<long double>(c[1].x) - c[0].x) * (c[2].y - c[0].y) -
                           (static_cast<long double>(c[1].y) - c[0].y) * (c[2].x - c[0].x);
        if (!(turn < 0)) ++faults;
        for (int e = 0; e < 3; ++e) {
            Corner a{c[e].x, c[e].y}, b{c[(e + 1) % 3].x, c[(e + 1) % 3].y};
            bool forward = a < b;
            int& use = uses[forward ? std::make_pair(a, b) : std::make_pair(b, a)];
            int direction = forward ? 1 : -1;
            if (use == 0)
                use = direction;
            else if (use == -direction)
                use = 2;
            else
                ++faults;
        }
    }
    return {faults, count};
}

} // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i)
        inputs.emplace_back(argv[i]);
    if (inputs.empty()) {
        inputs.push_back(fs::path(VOG_SOURCE_DIR) / "examples/data/jacksboro-survey.xyz");
        inputs.push_back(fs::path(VOG_SOURCE_DIR) / "examples/data/jacksboro-grid.xyz");
    }
    fs::path scratch = fs::temp_directory_path() / ("vog_bench_" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    ::setenv("TEMP", scratch.c_str(), 1);

    int status = 0;
    for (const fs::path& input : inputs) {
        fs::path pointFile = scratch / input.filename();
        fs::copy_file(input, pointFile, fs::copy_options::overwrite_existing);
        std::wstring path = vog::fromUtf8(pointFile.string());
        SortWorkFiles files = sortWorkFiles();

        auto start = std::chrono::steady_clock::now();
        const vog::Seam& seam = vog::app::hostSeam();
        vog::Status prepared = preparePoints(path, std::nullopt, files, seam);
        double prepareSeconds = secondsSince(start);
        start = std::chrono::steady_clock::now();
        vog::Status triangulated = prepared == vog::Status::ok
                                       ? triangulateSortedPoints(path, files.sortedPointFile, seam)
                                       : prepared;
        double triangulateSeconds = secondsSince(start);

        fs::path ttin = pointFile;
        ttin.replace_extension(".ttin");
        auto [faults, count] = checkTriangles(vog::fromUtf8(ttin.string()));
        std::printf("%s: preparation %.2f s, triangulation %.2f s, %zu triangles, %zu faults%s\n",
                    input.filename().c_str(), prepareSeconds, triangulateSeconds, count, faults,
                    triangulated == vog::Status::ok ? "" : " (failed)");
        if (triangulated != vog::Status::ok || faults != 0) status = 1;
    }
    fs::remove_all(scratch);
    return status;
}
