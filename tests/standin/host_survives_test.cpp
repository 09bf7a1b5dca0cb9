// The stand-in host under input meant to kill it: integer arithmetic that
// overflows, dialog files nested or expanding without end, paths that name a
// folder or a FIFO, memory running out, and coordinates near the largest
// double. Each gives an error line or a refusal, and the session, with its
// drawing, goes on.
#include "dcl/dcl.h"
#include "drawing/drawing.h"
#include "host/standin.h"
#include "lisp/lisp.h"
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace std::chrono_literals;
using standin::lisp::Type;
using standin::lisp::Value;

#if defined(__SANITIZE_ADDRESS__)
constexpr auto kQuick = 60s;
#else
constexpr auto kQuick = 10s;
#endif

Value evaluate(standin::lisp::Interpreter& lisp, const std::wstring& text) {
    standin::lisp::Reader reader(text);
    return lisp.eval(reader.read());
}

TEST(HostSurvives, IntegerArithmeticBeyond32BitsGivesRealsNeverUndefinedResults) {
    standin::lisp::Interpreter lisp;
    struct Sum {
        const wchar_t* text;
        Type type;
        double value;
    };
    const std::vector<Sum> sums = {
        {L"(/ (atoi \"-9223372036854775808\") -1)", Type::Real, 9223372036854775808.0},
        {L"(+ 2147483647 1)", Type::Real, 2147483648.0},
        {L"(- -2147483647 2)", Type::Real, -2147483649.0},
        {L"(* 65536 65536)", Type::Real, 4294967296.0},
        {L"(* 46341 46341)", Type::Real, 2147488281.0},
        {L"(/ -2147483648 -1)", Type::Real, 2147483648.0},
        {L"(- -2147483648)", Type::Real, 2147483648.0},
        // Once a step leaves the range the rest is computed in reals.
        {L"(+ 2147483647 1 -1)", Type::Real, 2147483647.0},
        {L"(* 65536 65536 0)", Type::Real, 0.0},
        {L"(atoi \"99999999999\")", Type::Real, 99999999999.0},
        // Within the range nothing changes.
        {L"(* 46340 46340)", Type::Int, 2147395600.0},
        {L"(+ 2147483646 1)", Type::Int, 2147483647.0},
        {L"(- -2147483647 1)", Type::Int, -2147483648.0},
        {L"(/ 7 -2)", Type::Int, -3.0},
        {L"(atoi \"-2147483648\")", Type::Int, -2147483648.0},
        {L"(nth 1e300 (list 1 2))", Type::Void, 0},
        {L"(strlen (substr \"abcdef\" 2 1e300))", Type::Int, 5.0},
        {L"(strlen (substr \"abcdef\" 2 -1))", Type::Int, 5.0},
    };
    for (const Sum& sum : sums) {
        SCOPED_TRACE(standin::toUtf8(sum.text));
        Value v = evaluate(lisp, sum.text);
        if (sum.type == Type::Void) {
            EXPECT_FALSE(v);
            continue;
        }
        ASSERT_TRUE(v);
        EXPECT_EQ(v->type, sum.type);
        EXPECT_EQ(standin::lisp::numberOf(v), sum.value);
    }
    // Numbers that no count or text can take are errors, not casts.
    for (const wchar_t* text : {L"(itoa 1e300)", L"(itoa 2147483648.0)", L"(/ 1 0)"}) {
        SCOPED_TRACE(standin::toUtf8(text));
        EXPECT_THROW(evaluate(lisp, text), standin::lisp::LispError);
    }
    EXPECT_EQ(evaluate(lisp, L"(itoa -2147483648)")->text, L"-2147483648");
}

// Dialog files whose definitions nest or refer to one another without end.
TEST(HostSurvives, DialogFilesNestedOrExpandingWithoutEndAreRefused) {
    const std::string folder = vogtest::freshFolder("dcl-limits");
    auto defined = [](int from, int to, const std::string& pattern) {
        std::string text;
        for (int i = from; i <= to; ++i) {
            std::string line = pattern;
            for (std::size_t at; (at = line.find("#")) != std::string::npos;)
                line.replace(at, 1, std::to_string(i));
            for (std::size_t at; (at = line.find("@")) != std::string::npos;)
                line.replace(at, 1, std::to_string(i - 1));
            text += line + "\n";
        }
        return text;
    };
    std::string deep = "d : dialog {\n";
    for (int i = 0; i < 20000; ++i)
        deep += ": row {";
    deep += std::string(20000, '}') + "\n}\n";
    struct DclCase {
        const char* name;
        std::string text;
        std::string message; // after "FILE:"
    };
    const std::vector<DclCase> cases = {
        {"20,000 rows in rows", deep, "2: tiles are nested more than 100 deep"},
        {"each definition twice the one before, 40 times",
         "a0 : row { : text { label = \"x\"; } }\n" +
             defined(1, 40, "a# : row { : a@ { } : a@ { } }") +
             "d : dialog { : a40 { } ok_only; }\n",
         "the definitions expand to more than 100000 tiles"},
        {"20,000 definitions, each built from the one before",
         "a0 : row { : text { label = \"x\"; } }\n" + defined(1, 20000, "a# : a@ { }") +
             "d : dialog { : a20000 { } ok_only; }\n",
         "tiles are nested more than 100 deep"},
    };
    for (const DclCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/x.dcl";
        vogtest::writeFile(path, c.text);
        standin::dcl::DclFile file;
        std::wstring error;
        const auto started = std::chrono::steady_clock::now();
        EXPECT_FALSE(standin::dcl::readDclFile(standin::fromUtf8(path), file, error));
        EXPECT_LT(std::chrono::steady_clock::now() - started, kQuick);
        const std::string text = standin::toUtf8(error);
        EXPECT_EQ(text.rfind(path + ":", 0), 0u) << text;
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        EXPECT_TRUE(file.dialogs.empty());
    }
    // Nesting within the limit, and a file that expands to many tiles but
    // fewer than the limit, are read.
    std::string rows = "d : dialog {\n";
    for (int i = 0; i < 90; ++i)
        rows += ": row {";
    rows += ": text { key = \"t\"; }" + std::string(90, '}') + "\nok_only; }\n";
    vogtest::writeFile(folder + "/rows.dcl", rows);
    vogtest::writeFile(folder + "/wide.dcl", "a0 : row { : text { label = \"x\"; } }\n" +
                                                 defined(1, 12, "a# : row { : a@ { } : a@ { } }") +
                                                 "d : dialog { : a12 { } ok_only; }\n");
    for (const char* name : {"rows.dcl", "wide.dcl"}) {
        standin::dcl::DclFile file;
        std::wstring error;
        EXPECT_TRUE(standin::dcl::readDclFile(standin::fromUtf8(folder + "/" + name), file, error))
            << name << ": " << standin::toUtf8(error);
        EXPECT_EQ(file.dialogs.count(L"d"), 1u) << name;
    }
}

// A folder cannot be read and a FIFO waits for a writer that never comes:
// both are refused with their path, at once.
TEST(HostSurvives, PathsThatNameAFolderOrAFifoAreRefusedWithoutWaiting) {
    const std::string folder = vogtest::freshFolder("odd-paths");
    const std::string fifo = folder + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder + "/dir");
    const std::string dir = folder + "/dir";
    auto timed = [&](const std::vector<std::string>& args) {
        std::vector<std::string> all = {"--plugin", "none"};
        all.insert(all.end(), args.begin(), args.end());
        const auto started = std::chrono::steady_clock::now();
        vogtest::HostRun run = vogtest::runHost(all, folder);
        EXPECT_LT(std::chrono::steady_clock::now() - started, kQuick);
        return run;
    };
    for (const auto& [path, why] :
         {std::pair{dir, "is a folder"}, {fifo, "is not a regular file"}}) {
        SCOPED_TRACE(path);
        vogtest::HostRun loaded =
            timed({"-e", "(load \"" + path + "\")", "-e", "(princ \"alive\")"});
        EXPECT_EQ(loaded.status, 0);
        EXPECT_NE(loaded.output.find("; error: LOAD failed: \"" + path + "\" " + why),
                  std::string::npos)
            << loaded.output;
        EXPECT_NE(loaded.output.find("alive"), std::string::npos) << loaded.output;

        vogtest::HostRun script = timed({path});
        EXPECT_EQ(script.status, 1);
        EXPECT_NE(script.output.find("cadhost: cannot read script " + path + ": " + why),
                  std::string::npos)
            << script.output;

        vogtest::HostRun opened = timed({"--open", path, "-e", "(princ \"alive\")"});
        EXPECT_EQ(opened.status, 1);
        EXPECT_NE(opened.output.find("cadhost: cannot read " + path + ": " + why),
                  std::string::npos)
            << opened.output;

        standin::dcl::DclFile file;
        std::wstring error;
        EXPECT_FALSE(standin::dcl::readDclFile(standin::fromUtf8(path), file, error));
        EXPECT_EQ(standin::toUtf8(error), path + ": is not a file");
    }
}

// Memory running out in a command is an error at the command boundary; the
// drawing made before it and the session stay. The address-space limit
// cannot be combined with the address sanitizer's shadow memory.
TEST(HostSurvives, MemoryRunningOutIsAnErrorAndTheSessionAndDrawingStay) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit and the address sanitizer do not mix";
#else
    const std::string folder = vogtest::freshFolder("out-of-memory");
    const std::string command =
        "ulimit -v 400000 && " + std::string(VOG_BIN_DIR) + "/cadhost --plugin none --save '" +
        folder +
        "/kept.dxf' -e '(entmake (list (cons 0 \"LINE\") (list 10 0.0 0.0 0.0) "
        "(list 11 3.0 4.0 0.0)))' -e '(setq s \"xxxxxxxx\")' -e "
        "'(repeat 40 (setq s (strcat s s)))' -e '(setq s nil)' -e "
        "'(princ (+ 1 2))' > '" +
        folder + "/out.txt' 2>&1";
    const int status = std::system(command.c_str());
    const std::string output = vogtest::readFile(folder + "/out.txt");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("; error: out of memory"), std::string::npos) << output;
    EXPECT_NE(output.find("3"), std::string::npos) << output;
    const std::string drawing = vogtest::readFile(folder + "/kept.dxf");
    EXPECT_NE(drawing.find("\nLINE\n"), std::string::npos) << "the drawing is saved whole";
#endif
}

// Coordinates near the largest double overflow the span of the picture: the
// picture is refused. A drawing that fits, with an entity far outside the
// zoomed view, is drawn with finite numbers only.
TEST(HostSurvives, CoordinatesNearTheLargestDoubleGiveAPictureOrARefusalNeverNan) {
    const std::string folder = vogtest::freshFolder("svg-huge");
    auto line = [](standin::DrawingDatabase& db, double x0, double y0, double x1, double y1) {
        std::vector<standin::Group> groups(2);
        groups[0].code = 10;
        groups[0].values[0] = x0;
        groups[0].values[1] = y0;
        groups[1].code = 11;
        groups[1].values[0] = x1;
        groups[1].values[1] = y1;
        ASSERT_EQ(standin::makeFromGroups(db, L"LINE", groups), RTNORM);
    };
    auto finiteOnly = [](const std::string& svg) {
        return svg.find("nan") == std::string::npos && svg.find("inf") == std::string::npos;
    };

    standin::DrawingDatabase spanning;
    line(spanning, -1e308, -1e308, 1e308, 1e308);
    std::string error;
    EXPECT_FALSE(standin::writeSvg(spanning, folder + "/spanning.svg", error));
    EXPECT_EQ(error, "cannot draw " + folder +
                         "/spanning.svg: the drawing spans more than a picture can hold");

    standin::DrawingDatabase far;
    line(far, 0, 0, 1e308, 1e308);
    ASSERT_TRUE(standin::writeSvg(far, folder + "/far.svg", error)) << error;
    EXPECT_TRUE(finiteOnly(vogtest::readFile(folder + "/far.svg")));

    standin::DrawingDatabase zoomed;
    line(zoomed, 0, 0, 10, 10);
    zoomed.zoomedView = zoomed.extents();
    line(zoomed, 0, 0, 1e308, -1e308);
    ASSERT_TRUE(standin::writeSvg(zoomed, folder + "/zoomed.svg", error)) << error;
    const std::string svg = vogtest::readFile(folder + "/zoomed.svg");
    EXPECT_TRUE(finiteOnly(svg)) << svg;
    EXPECT_NE(svg.find("0.0,1200.0 1200.0,0.0"), std::string::npos) << svg;
}

} // namespace
