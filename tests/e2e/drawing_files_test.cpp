// Drawing files written by cadhost, read back by an independent reader, and
// read into the drawing again.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using vogtest::runHost;

const char* kEntities =
    "(entmake '((0 . \"LAYER\") (6 . \"CONTINUOUS\") (8 . \"KT_Tin\") (62 . 5)))"
    "(entmake '((0 . \"3DFACE\") (8 . \"KT_Tin\") (10 0.1 0.2 0.3) (11 1.0 0.0 1.0) (12 0.0 1.0 "
    "2.0)"
    "           (13 0.1 0.2 0.3)))"
    "(entmake '((0 . \"POLYLINE\") (8 . \"KT_Regcontours\") (10 0.1 0.2 10.0) (40 . 0.25) (41 . "
    "0.25) (66 . 1)))"
    "(entmake '((0 . \"VERTEX\") (10 0.1 0.2 10.0)))"
    "(entmake '((0 . \"VERTEX\") (10 123456.789012345 4000000.1 10.0)))"
    "(entmake '((0 . \"SEQEND\")))"
    "(entmake '((0 . \"POLYLINE\") (8 . \"KT_Mesh\") (66 . 1) (70 . 8)))"
    "(entmake '((0 . \"VERTEX\") (10 0.0 0.0 1.0) (70 . 32)))"
    "(entmake '((0 . \"VERTEX\") (10 1.0 0.0 2.0) (70 . 32)))"
    "(entmake '((0 . \"SEQEND\")))"
    "(entmake '((0 . \"LWPOLYLINE\") (8 . \"Road\") (90 . 3) (70 . 0) (10 0.0 0.0) (42 . 0.5) (10 "
    "10.0 0.0)"
    "           (10 10.0 10.0)))"
    "(entmake '((0 . \"LINE\") (8 . \"0\") (10 0.0 0.0 0.0) (11 3.0 4.0 0.0)))"
    "(command \"zoom\" \"e\")"
    "(princ)";

// An independent reader: prints what it finds, one line per entity.
const char* kReader = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
print("version", doc.dxfversion)
for layer in doc.layers:
    print("layer", layer.dxf.name, layer.dxf.color, layer.dxf.linetype)
for e in doc.modelspace():
    t = e.dxftype()
    if t == "POLYLINE":
        pts = [tuple(v.dxf.location) for v in e.vertices]
        print(t, e.dxf.layer, e.dxf.flags, len(pts), repr(pts[-1][0]), repr(pts[-1][1]), e.dxf.get("default_start_width", 0),
              [v.dxf.get("bulge", 0) for v in e.vertices])
    elif t == "3DFACE":
        print(t, e.dxf.layer, repr(e.dxf.vtx0[0]), repr(e.dxf.vtx2[2]))
    else:
        print(t, e.dxf.layer)
)";

// Debian's own interpreter, where python3-ezdxf is installed.
const char* kPython = "/usr/bin/python3";

bool haveEzdxf() {
    return std::system((std::string(kPython) + " -c 'import ezdxf' >/dev/null 2>&1").c_str()) == 0;
}

TEST(DrawingFiles, WrittenDxfReadsBackInAnIndependentReader) {
    if (!haveEzdxf()) {
        // CI installs the reader and sets VOG_REQUIRE_EZDXF, so there it must run.
        ASSERT_EQ(std::getenv("VOG_REQUIRE_EZDXF"), nullptr) << "python3-ezdxf is not installed";
        GTEST_SKIP() << "python3-ezdxf is not installed";
    }
    std::string dir = vogtest::freshFolder("dxf");
    auto run = runHost({"--plugin", "none", "--save", dir + "/out.dxf", "--svg", dir + "/out.svg",
                        "-e", kEntities});
    ASSERT_EQ(run.status, 0) << run.output;
    vogtest::writeFile(dir + "/reader.py", kReader);
    std::string command = std::string(kPython) + " " + dir + "/reader.py " + dir + "/out.dxf > " +
                          dir + "/read.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << vogtest::readFile(dir + "/read.txt");
    std::string text = vogtest::readFile(dir + "/read.txt");
    EXPECT_NE(text.find("version AC1009"), std::string::npos) << text;
    EXPECT_NE(text.find("layer KT_Tin 5 CONTINUOUS"), std::string::npos) << text;
    EXPECT_NE(text.find("3DFACE KT_Tin 0.1 2.0"), std::string::npos) << text;
    // Coordinates keep every digit of the doubles.
    EXPECT_NE(text.find("POLYLINE KT_Regcontours 0 2 123456.789012345 4000000.1 0.25"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("POLYLINE KT_Mesh 8 2"), std::string::npos) << text;
    EXPECT_NE(text.find("POLYLINE Road 0 3 10.0 10.0 0 [0.5, 0.0, 0.0]"), std::string::npos)
        << text;
    EXPECT_NE(text.find("LINE 0"), std::string::npos) << text;

    std::string svg = vogtest::readFile(dir + "/out.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("stroke=\"#0000ff\""), std::string::npos) << "the TIN layer's colour 5";
}

TEST(DrawingFiles, OpenedDrawingCarriesItsEntitiesAndFolder) {
    std::string dir = vogtest::freshFolder("open");
    auto run = runHost({"--plugin", "none", "--save", dir + "/a.dxf", "-e", kEntities});
    ASSERT_EQ(run.status, 0) << run.output;
    run = runHost({"--plugin", "none", "--open", dir + "/a.dxf", "--save", dir + "/b.dxf", "-e",
                   "(sslength (ssget \"X\"))", "-e", "(getvar \"DWGPREFIX\")", "-e",
                   "(equal (cdr (assoc 10 (entget (entnext (entnext (entnext (entnext)))))))"
                   "       '(123456.789012345 4000000.1 10.0))"});
    EXPECT_EQ(run.output, "5\n\"" + dir + "/\"\nT\n") << run.output;
    // Reading and writing again changes nothing.
    EXPECT_EQ(vogtest::readFile(dir + "/a.dxf"), vogtest::readFile(dir + "/b.dxf"));
}

TEST(DrawingFiles, BadDrawingFilesAreRefusedWithFileAndLine) {
    std::string dir = vogtest::freshFolder("bad");
    vogtest::writeFile(dir + "/bad.dxf",
                       "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\nabc\n20\n0\n0\nEOF\n");
    auto run = runHost({"--plugin", "none", "--open", dir + "/bad.dxf"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(dir + "/bad.dxf line 10: \"abc\" is not a number"), std::string::npos)
        << run.output;
    vogtest::writeFile(dir + "/bad2.dxf", "0\nSECTION\nxx\n");
    run = runHost({"--plugin", "none", "--open", dir + "/bad2.dxf"});
    EXPECT_NE(run.output.find("line 3: a group code was expected"), std::string::npos)
        << run.output;
    run = runHost({"--plugin", "none", "--open", dir + "/none.dxf"});
    EXPECT_NE(run.output.find("cannot read " + dir + "/none.dxf"), std::string::npos);
}

} // namespace
