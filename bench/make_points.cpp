// Writes a point file for the benchmarks: count points "x y z" per line with
// three decimals, in one of three layouts.
//
//   vog_make_points uniform|clustered|grid|line|diagonal|circle COUNT SEED
//
// uniform: scattered evenly over a 10 km square; clustered: forty dense
// blobs of different sizes and a thin scatter between them; grid: a square
// lattice of 1 m spacing (many points on one circle); line: along one
// east-west line 1 cm apart; diagonal: along one slanted line; circle: on a
// circle of 500 m radius (a tank or a shaft scanned at one radius), to the
// millimetre. All in random file order.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct Point {
    double x, y, z;
};

double terrain(double x, double y) {
    return 100 + 20 * std::sin(x / 700) * std::cos(y / 900) + 5 * std::sin((x + y) / 150);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s uniform|clustered|grid|line|diagonal|circle COUNT SEED\n",
                     argv[0]);
        return 2;
    }
    const std::string layout = argv[1];
    const long long count = std::atoll(argv[2]);
    std::mt19937_64 random(std::strtoull(argv[3], nullptr, 10));
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(count));
    if (layout == "uniform") {
        for (long long i = 0; i < count; ++i) {
            double x = 10000 * unit(random), y = 10000 * unit(random);
            points.push_back({x, y, terrain(x, y)});
        }
    } else if (layout == "clustered") {
        std::vector<Point> centres;
        std::vector<double> spreads;
        for (int i = 0; i < 40; ++i) {
            centres.push_back({10000 * unit(random), 10000 * unit(random), 0});
            spreads.push_back(20 + 300 * unit(random));
        }
        std::normal_distribution<double> normal(0, 1);
        for (long long i = 0; i < count; ++i) {
            double x, y;
            if (i % 20 == 0) {
                x = 10000 * unit(random);
                y = 10000 * unit(random);
            } else {
                const std::size_t c = static_cast<std::size_t>(i) % centres.size();
                x = centres[c].x + spreads[c] * normal(random);
                y = centres[c].y + spreads[c] * normal(random);
            }
            points.push_back({x, y, terrain(x, y)});
        }
    } else if (layout == "grid") {
        const long long side = static_cast<long long>(std::ceil(std::sqrt(double(count))));
        for (long long i = 0; i < count; ++i) {
            double x = 1000.0 + double(i / side), y = 2000.0 + double(i % side);
            points.push_back({x, y, terrain(x, y)});
        }
        std::shuffle(points.begin(), points.end(), random);
    } else if (layout == "line" || layout == "diagonal") {
        const bool slanted = layout == "diagonal";
        for (long long i = 0; i < count; ++i) {
            double x = 1000.0 + 0.01 * double(i), y = slanted ? 2000.0 + 0.02 * double(i) : 2000.0;
            points.push_back({x, y, terrain(x, y)});
        }
        std::shuffle(points.begin(), points.end(), random);
    } else if (layout == "circle") {
        const double pi = std::acos(-1.0);
        for (long long i = 0; i < count; ++i) {
            const double w = 2 * pi * double(i) / double(count);
            double x = 5000 + 500 * std::cos(w), y = 5000 + 500 * std::sin(w);
            points.push_back({x, y, terrain(x, y)});
        }
        std::shuffle(points.begin(), points.end(), random);
    } else {
        std::fprintf(stderr, "unknown layout %s\n", layout.c_str());
        return 2;
    }
    std::vector<char> buffer(1 << 20);
    std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size());
    for (const Point& p : points)
        std::printf("%.3f %.3f %.3f\n", p.x, p.y, p.z);
    // The buffer goes with main: empty it first.
    return std::fflush(stdout) == 0 ? 0 : 1;
}
