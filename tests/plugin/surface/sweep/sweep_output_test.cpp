// The writer of the raw triangle file beside the sweep: whatever the batches,
// the file holds the triangles handed on, in order, less those touching the
// enclosing triangle, each written as "%lf" would write it.
#include "surface/sweep/sweep_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vog::surface {
namespace {

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file as the plain loop over every triangle would write it.
std::string plainText(const std::vector<Point3>& vertices, const std::vector<std::uint32_t>& keys,
                      const std::array<std::uint32_t, 3>& dropKeys,
                      const std::vector<CornerNumbers>& triangles) {
    std::string text;
    char line[1024]; // room for the 309 digits of the largest double
    for (const CornerNumbers& t : triangles) {
        bool dropped = false;
        for (std::uint32_t c : t)
            for (std::uint32_t k : dropKeys)
                if (keys[c] == k) dropped = true;
        if (dropped) continue;
        for (int k = 0; k < 3; ++k) {
            const Point3& v = vertices[t[k]];
            std::snprintf(line, sizeof line, "%lf %lf %lf%c", v.x, v.y, v.z, k < 2 ? ' ' : '\n');
            text += line;
        }
    }
    return text;
}

class SweepOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("vog_sweep_output_" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ttin");
        // Points, the last three the enclosing corners; point 5 lies on the
        // first corner and shares its key.
        std::mt19937_64 random(11);
        std::uniform_real_distribution<double> coordinate(-1e6, 1e6);
        for (std::uint32_t i = 0; i < 400; ++i) {
            vertices_.push_back(
                {coordinate(random), coordinate(random), coordinate(random) * 1e-3});
            keys_.push_back(i);
        }
        vertices_.push_back({-3e9, -3e9, 0});
        vertices_.push_back({3e9, -3e9, 0});
        vertices_.push_back({0, 3e9, 0});
        for (std::uint32_t i = 400; i < 403; ++i)
            keys_.push_back(i);
        vertices_[5] = vertices_[400];
        keys_[5] = 400;
        dropKeys_ = {400, 401, 402};

        std::uniform_int_distribution<std::uint32_t> corner(0, 402);
        for (int i = 0; i < 30000; ++i)
            triangles_.push_back({corner(random), corner(random), corner(random)});
    }
    void TearDown() override { std::filesystem::remove(path_); }

    // Writes the triangles in batches of the given sizes, in turn.
    bool writeInBatches(const std::vector<std::size_t>& sizes) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        SweepOutput output(out, vertices_, keys_, dropKeys_);
        std::vector<CornerNumbers> batch;
        std::size_t next = 0, turn = 0;
        while (next < triangles_.size()) {
            const std::size_t size = sizes[turn++ % sizes.size()];
            for (std::size_t k = 0; k < size && next < triangles_.size(); ++k)
                batch.push_back(triangles_[next++]);
            output.write(batch);
            EXPECT_TRUE(batch.empty());
        }
        const bool written = output.finish();
        writtenForm_ = output.writtenForm();
        out.close();
        return written && out;
    }

    std::filesystem::path path_;
    std::vector<Point3> vertices_;
    std::vector<std::uint32_t> keys_;
    std::array<std::uint32_t, 3> dropKeys_{};
    std::vector<CornerNumbers> triangles_;
    bool writtenForm_ = false;
};

TEST_F(SweepOutputTest, AnyBatchingWritesWhatOnePlainLoopWrites) {
    const std::string expected = plainText(vertices_, keys_, dropKeys_, triangles_);
    // Far more than one block, and some triangles really dropped.
    ASSERT_GT(expected.size(), std::size_t{2} << 20);
    ASSERT_LT(expected.size(), triangles_.size() * 3 * 40);

    for (const std::vector<std::size_t>& sizes : std::vector<std::vector<std::size_t>>{
             {30000}, {1}, {0, 7, 1000, 0, 3}, {65536}, {12345, 1}}) {
        ASSERT_TRUE(writeInBatches(sizes));
        EXPECT_EQ(readAll(path_), expected);
    }
}

TEST_F(SweepOutputTest, TheFilePassesAsACopysOwnOnlyWhenEveryNumberWouldBeKept) {
    // Negative zero, a tiny negative, nine digits before the point: a copy
    // keeps each text as it stands.
    vertices_[1] = {-0.0, -0.0000005, 123456789.1234565};
    vertices_[2] = {999999999.9999994, -999999999.25, 0.0000004};
    ASSERT_TRUE(writeInBatches({4096}));
    EXPECT_TRUE(writtenForm_);
    EXPECT_EQ(readAll(path_), plainText(vertices_, keys_, dropKeys_, triangles_));

    // Texts a copy does not keep as they stand; the file is still right.
    for (const double odd :
         {1e300, 9007199254740993.0, -1e9, std::numeric_limits<double>::infinity(), std::nan("")}) {
        vertices_[3].z = odd;
        ASSERT_TRUE(writeInBatches({4096}));
        EXPECT_FALSE(writtenForm_) << odd;
        if (std::isfinite(odd)) {
            EXPECT_EQ(readAll(path_), plainText(vertices_, keys_, dropKeys_, triangles_));
        }
    }
}

TEST_F(SweepOutputTest, NoTrianglesMakeAnEmptyFile) {
    triangles_.clear();
    ASSERT_TRUE(writeInBatches({1}));
    EXPECT_EQ(readAll(path_), "");
    // Only triangles on the enclosing corners, or on a point equal to one.
    triangles_ = {{0, 1, 400}, {5, 6, 7}, {401, 402, 3}};
    ASSERT_TRUE(writeInBatches({1, 2}));
    EXPECT_EQ(readAll(path_), "");
}

TEST_F(SweepOutputTest, AFileThatCannotBeWrittenIsReportedAtTheEnd) {
    std::ofstream out; // never opened: every write fails
    SweepOutput output(out, vertices_, keys_, dropKeys_);
    std::vector<CornerNumbers> batch(triangles_.begin(), triangles_.end());
    output.write(batch);
    batch.assign(triangles_.begin(), triangles_.begin() + 10);
    output.write(batch);
    EXPECT_FALSE(output.finish());
    EXPECT_FALSE(output.writtenForm());
}

TEST_F(SweepOutputTest, AbandoningStopsAtOnceWithBatchesStillWaiting) {
    {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        SweepOutput output(out, vertices_, keys_, dropKeys_);
        for (int i = 0; i < 50; ++i) {
            std::vector<CornerNumbers> batch(triangles_.begin(), triangles_.end());
            output.write(batch);
        }
        output.abandon();
        // Whatever reached the file is whole triangles from the start.
        out.close();
        const std::string written = readAll(path_);
        const std::string all = plainText(vertices_, keys_, dropKeys_, triangles_);
        EXPECT_TRUE(written.empty() || written.back() == '\n');
        EXPECT_EQ(written.substr(0, std::min(written.size(), all.size())),
                  all.substr(0, std::min(written.size(), all.size())));
    }
    {
        // Going out of scope abandons too, without waiting for the batches.
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        SweepOutput output(out, vertices_, keys_, dropKeys_);
        std::vector<CornerNumbers> batch(triangles_.begin(), triangles_.end());
        output.write(batch);
    }
}

} // namespace
} // namespace vog::surface
