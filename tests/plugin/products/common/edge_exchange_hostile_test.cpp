// What the edge exchange file reader makes of files from every source: read
// correctly where the content is edges, refused with the line otherwise.
#include "products/common/edge_exchange.h"
#include "support/run_host.h"

#include "host/standin.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

struct Case {
    const char* name;
    std::string bytes;
    std::size_t edges;       // when read
    std::size_t refusedLine; // 0: read
};

TEST(EdgeExchangeHostile, EveryKindOfInput) {
    const std::string edge = "3 -10 0 3 10 20";
    std::string binary;
    for (int i = 0; i < 2560; ++i)
        binary += static_cast<char>(i % 256);
    const std::vector<Case> cases = {
        {"empty", "", 0, 0},
        // Prepared outside the system: its complete last line counts.
        {"no line end at the end", edge, 1, 0},
        {"two edges on a line", edge + " " + edge + "\n", 0, 1},
        {"an edge over two lines", "3 -10 0\n3 10 20\n", 0, 1},
        {"blank lines", "\n" + edge + "\n \t\n\n5 -10 0 5 10 20\n", 2, 0},
        {"CR LF", edge + "\r\n5 -10 0 5 10 20\r\n", 2, 0},
        {"lone CR", edge + "\r5 -10 0 5 10 20\r", 2, 0},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + edge + "\n", 1, 0},
        {"commas", "3,-10,0,3,10,20\n", 0, 1},
        {"semicolons", "3;-10;0;3;10;20\n", 0, 1},
        {"text header", "x1 y1 z1 x2 y2 z2\n" + edge + "\n", 0, 1},
        {"nan", "nan -10 0 3 10 20\n", 0, 1},
        {"inf", edge + "\n3 -10 inf 3 10 20\n", 0, 2},
        {"1e308 and -0", "1e308 -10 -0 3 10 20\n", 1, 0},
        {"leading plus", "+3 -10 +0 +3 10 20\n", 1, 0},
        {"1 MB without a line end", std::string(1 << 20, '1'), 0, 1},
        {"binary garbage", binary, 0, 1},
        {"NUL byte", std::string("3 -10 0\0 3 10 20\n", 17), 0, 1},
        {"truncated record", edge + "\n5 -10 0\n", 0, 2},
    };
    std::string dir = vogtest::freshFolder("hostile-edges");
    for (const Case& c : cases) {
        std::string path = dir + "/kttin.asc";
        vogtest::writeFile(path, c.bytes);
        vog::products::EdgeTable table;
        auto started = std::chrono::steady_clock::now();
        auto result = vog::products::readEdgeExchange(standin::fromUtf8(path), table);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << c.name;
        if (c.refusedLine) {
            EXPECT_EQ(result, vog::products::EdgeReadResult::Malformed) << c.name;
            EXPECT_EQ(table.malformedLine, c.refusedLine) << c.name;
        } else {
            EXPECT_EQ(result, vog::products::EdgeReadResult::Read) << c.name;
            EXPECT_EQ(table.edges.size(), c.edges) << c.name;
        }
    }
}

} // namespace
