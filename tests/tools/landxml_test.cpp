// tin-landxml as a user runs it: a surface built by the system exported and
// checked with an independent XML reader (python3-lxml), the round trip
// back to the same triangle file, a surface written by hand imported and
// measured with volumes in cadhost, and every hostile input refused with
// nothing written.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using vogtest::HostRun;
using vogtest::readFile;
using vogtest::runCommand;
using vogtest::runHost;
using vogtest::shellQuote;
using vogtest::writeFile;

const char* kPython = "/usr/bin/python3";

HostRun tool(const std::vector<std::string>& args) {
    std::string command = shellQuote(std::string(VOG_BIN_DIR) + "/tin-landxml");
    for (const std::string& a : args)
        command += " " + shellQuote(a);
    return runCommand(command);
}

bool haveLxml() {
    return std::system((std::string(kPython) + " -c 'import lxml' >/dev/null 2>&1").c_str()) == 0;
}

// Reads the exported document with lxml (entities unresolved, no network,
// no DTD) and checks it against the triangle file it came from: the
// namespace and version, one TIN surface and nothing else in it, one point
// per distinct corner, one face per triangle naming points that exist, and
// each face's points in northing, easting, elevation order giving the
// triangle's first, third and second corner. Prints the counts, the units
// and the number of faces that turn clockwise.
const char* kChecker = R"(
import sys, re
from lxml import etree
NS = "{http://www.landxml.org/schema/LandXML-1.2}"
def fail(m):
    print("FAIL", m); sys.exit(1)
parser = etree.XMLParser(resolve_entities=False, no_network=True, load_dtd=False, huge_tree=True)
root = etree.parse(sys.argv[1], parser).getroot()
if root.tag != NS + "LandXML": fail("root " + root.tag)
if root.get("version") != "1.2": fail("version")
if not re.fullmatch(r"\d{4}-\d\d-\d\d", root.get("date", "")): fail("date")
if not re.fullmatch(r"\d\d:\d\d:\d\d", root.get("time", "")): fail("time")
units = root.find(NS + "Units")
if units is None or len(units) != 1: fail("units")
unit = etree.QName(units[0]).localname + " " + units[0].get("linearUnit")
surfaces = root.findall(".//" + NS + "Surface")
if len(surfaces) != 1: fail("surfaces %d" % len(surfaces))
s = surfaces[0]
if [etree.QName(c).localname for c in s] != ["Definition"]: fail("surface children")
d = s.find(NS + "Definition")
if d.get("surfType") != "TIN": fail("surfType")
points = {}
for p in d.find(NS + "Pnts").findall(NS + "P"):
    v = p.text.split()
    if len(v) != 3 or p.get("id") in points: fail("point " + str(p.get("id")))
    points[p.get("id")] = (float(v[1]), float(v[0]), float(v[2]))
faces = d.find(NS + "Faces").findall(NS + "F")
rows = [l.split() for l in open(sys.argv[2]) if l.strip()]
corners = set(tuple(r[3 * k:3 * k + 3]) for r in rows for k in range(3))
if len(points) != len(corners): fail("points %d corners %d" % (len(points), len(corners)))
if len(faces) != len(rows): fail("faces %d triangles %d" % (len(faces), len(rows)))
clockwise = 0
for f, r in zip(faces, rows):
    ids = f.text.split()
    if len(ids) != 3 or f.get("i") is not None: fail("face " + f.text)
    for i in ids:
        if i not in points: fail("face names missing point " + i)
    t = [tuple(float(x) for x in r[3 * k:3 * k + 3]) for k in range(3)]
    if [points[ids[0]], points[ids[1]], points[ids[2]]] != [t[0], t[2], t[1]]: fail("face " + f.text)
    (ax, ay, _), (bx, by, _), (cx, cy, _) = [points[i] for i in ids]
    if (bx - ax) * (cy - ay) - (cx - ax) * (by - ay) < 0: clockwise += 1
print("points %d faces %d units %s clockwise %d" % (len(points), len(faces), unit, clockwise))
)";

class LandXml : public ::testing::Test {
  protected:
    // Builds name.tin from the point file text with cadhost, all points, no
    // fault lines, no boundary.
    void buildSurface(const std::string& name, const std::string& points) {
        writeFile(dir + "/" + name + ".xyz", points);
        auto run = runHost({"-e", "(lvogopen \"" + name + ".xyz\")", "-e",
                            "(host-dialog \"triangulate\" '((\"uelev\" . \"0\") (\"ufaults\" . "
                            "\"0\") (\"ubound\" . \"0\")) \"accept\")",
                            "-e", "(triangulate)"},
                           dir);
        ASSERT_EQ(run.status, 0) << run.output;
        ASSERT_TRUE(std::filesystem::exists(dir + "/" + name + ".tin")) << run.output;
    }

    std::string check(const std::string& xml, const std::string& tin) {
        writeFile(dir + "/check.py", kChecker);
        return runCommand(shellQuote(kPython) + " " + shellQuote(dir + "/check.py") + " " +
                          shellQuote(xml) + " " + shellQuote(tin))
            .output;
    }

    vogtest::ScratchFolder scratch{"landxml"};
    const std::string dir = scratch.path();
};

// A hill of 300 scattered points, as a survey gives them.
std::string hillPoints() {
    std::string points;
    char line[128];
    unsigned seed = 12345;
    for (int i = 0; i < 300; ++i) {
        seed = seed * 1103515245u + 12345u;
        double x = 500000 + (seed >> 8) % 100000 / 100.0;
        seed = seed * 1103515245u + 12345u;
        double y = 4000000 + (seed >> 8) % 80000 / 100.0;
        double z =
            300 +
            40 * std::exp(-((x - 500500) * (x - 500500) + (y - 4000400) * (y - 4000400)) / 1e5);
        std::snprintf(line, sizeof line, "%.3f %.3f %.4f\n", x, y, z);
        points += line;
    }
    return points;
}

TEST_F(LandXml, ASurfaceBuiltHereExportsAsOneTinSurfaceAndComesBackByteForByte) {
    buildSurface("hill", hillPoints());
    const std::string tin = dir + "/hill.tin";
    const std::string original = readFile(tin);

    HostRun exported = tool({"export", tin, dir + "/hill.xml", "--name", "Hill & \"ridge\" <1>"});
    ASSERT_EQ(exported.status, 0) << exported.output;
    const auto triangles = std::count(original.begin(), original.end(), '\n');
    EXPECT_EQ(exported.output.rfind(std::to_string(triangles) + " triangles, ", 0), 0u)
        << exported.output;
    EXPECT_NE(exported.output.find(" points written to " + dir +
                                   "/hill.xml as surface \"Hill & \"ridge\" <1>\" (metric)\n"),
              std::string::npos)
        << exported.output;

    if (haveLxml()) {
        std::string report = check(dir + "/hill.xml", tin);
        EXPECT_EQ(report.rfind("points ", 0), 0u) << report;
        EXPECT_NE(report.find(" units Metric meter clockwise 0\n"), std::string::npos) << report;
    } else {
        ADD_FAILURE() << "python3-lxml is not installed: the document is not checked";
    }

    HostRun imported = tool({"import", dir + "/hill.xml", dir + "/back.tin"});
    ASSERT_EQ(imported.status, 0) << imported.output;
    EXPECT_EQ(readFile(dir + "/back.tin"), original);
    EXPECT_NE(imported.output.find("from surface \"Hill & \"ridge\" <1>\" ("), std::string::npos)
        << imported.output;

    // In US feet the units say so; the surface is the same.
    HostRun feet = tool({"export", tin, dir + "/feet.xml", "--units", "imperial"});
    ASSERT_EQ(feet.status, 0) << feet.output;
    if (haveLxml()) {
        EXPECT_NE(check(dir + "/feet.xml", tin).find(" units Imperial USSurveyFoot clockwise 0\n"),
                  std::string::npos);
    }
    ASSERT_EQ(tool({"import", dir + "/feet.xml", dir + "/feet.tin"}).status, 0);
    EXPECT_EQ(readFile(dir + "/feet.tin"), original);
}

TEST_F(LandXml, TheRoundTripKeepsSignedZerosFlatAndContraryTrianglesAndEmptySurfaces) {
    // Clockwise triangles around a negative zero, a flat one (corners in a
    // line), one counter-clockwise against the rest, and UTM-sized numbers.
    const std::string text =
        "-0.000000 0.000000 1.000000 0.000000 10.000000 2.000000 10.000000 0.000000 3.000000\n"
        "0.000000 10.000000 2.000000 10.000000 10.000000 4.000000 10.000000 0.000000 3.000000\n"
        "0.000000 0.000000 1.000000 5.000000 0.000000 1.500000 10.000000 0.000000 3.000000\n"
        "10.000000 0.000000 3.000000 20.000000 0.000000 5.000000 10.000000 10.000000 4.000000\n"
        "509123.456789 4006543.210987 412.345678 509124.000001 4006544.999999 413.000000 "
        "509125.500000 4006543.000000 -0.000001\n";
    writeFile(dir + "/odd.tin", text);
    HostRun odd = tool({"export", dir + "/odd.tin", dir + "/odd.xml"});
    ASSERT_EQ(odd.status, 0);
    EXPECT_EQ(odd.output, "5 triangles, 10 points written to " + dir +
                              "/odd.xml as surface \"odd\" (metric)\n");
    if (haveLxml()) {
        // -0 and 0 are two points; the counter-clockwise triangle is the one
        // clockwise face.
        EXPECT_EQ(check(dir + "/odd.xml", dir + "/odd.tin"),
                  "points 10 faces 5 units Metric meter clockwise 1\n");
    }
    ASSERT_EQ(tool({"import", dir + "/odd.xml", dir + "/odd-back.tin"}).status, 0);
    EXPECT_EQ(readFile(dir + "/odd-back.tin"), text);

    // A number with more than six decimals keeps every digit in the
    // document; coming back it is written as the system writes numbers.
    writeFile(dir + "/fine.tin", "0 0 1.1234567 0 1 1 1 0 1\n");
    ASSERT_EQ(tool({"export", dir + "/fine.tin", dir + "/fine.xml"}).status, 0);
    EXPECT_NE(readFile(dir + "/fine.xml").find(">0.000000 0.000000 1.1234567</P>"),
              std::string::npos);
    ASSERT_EQ(tool({"import", dir + "/fine.xml", dir + "/fine-back.tin"}).status, 0);
    EXPECT_EQ(readFile(dir + "/fine-back.tin"),
              "0.000000 0.000000 1.123457 0.000000 1.000000 1.000000 1.000000 0.000000 "
              "1.000000\n");

    // An empty surface: a valid document without points or faces, and an
    // empty triangle file again.
    writeFile(dir + "/empty.tin", "");
    HostRun exported = tool({"export", dir + "/empty.tin", dir + "/empty.xml"});
    ASSERT_EQ(exported.status, 0) << exported.output;
    EXPECT_NE(exported.output.find("0 triangles, 0 points written to"), std::string::npos);
    if (haveLxml()) {
        EXPECT_EQ(check(dir + "/empty.xml", dir + "/empty.tin"),
                  "points 0 faces 0 units Metric meter clockwise 0\n");
    }
    writeFile(dir + "/empty-back.tin", "old contents\n");
    ASSERT_EQ(tool({"import", dir + "/empty.xml", dir + "/empty-back.tin"}).status, 0);
    EXPECT_EQ(readFile(dir + "/empty-back.tin"), "");
}

// A design surface as another program writes it: northing before easting,
// ids of its own, a second surface listed first, an invisible face that
// would raise a quarter of the surface to 100 were it read.
const char* kDesign = R"(<?xml version="1.0" encoding="UTF-8"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2" date="2026-01-05" time="09:30:00">
  <Units><Metric areaUnit="squareMeter" linearUnit="meter" volumeUnit="cubicMeter" temperatureUnit="celsius" pressureUnit="milliBars"/></Units>
  <Surfaces>
    <Surface name="Clockwise">
      <Definition surfType="TIN">
        <Pnts>
          <P id="1">0 0 5</P><P id="2">0 20 5</P><P id="3">10 0 5</P>
        </Pnts>
        <Faces><F>1 3 2</F></Faces>
      </Definition>
    </Surface>
    <Surface name="Design">
      <SourceData/>
      <Definition surfType="TIN" elevMin="10" elevMax="100">
        <Pnts>
          <P id="105">5 10 12.5</P>
          <P id="101">0 0 10</P>
          <P id="102">0.0 20.0 14.0</P>
          <P id="103"> 10 20 15 </P>
          <P id="104">1.0e1 0 11</P>
          <P id="106">5 10 100</P>
        </Pnts>
        <Faces>
          <F>101 102 105</F>
          <F i="0">102 103 105</F>
          <F>103 104 105</F>
          <F>104 101 105</F>
          <F i="1">101 102 106</F>
        </Faces>
      </Definition>
    </Surface>
  </Surfaces>
</LandXML>
)";

TEST_F(LandXml, AHandWrittenSurfaceImportsToItsTrianglesAndGivesTheKnownVolume) {
    writeFile(dir + "/design.xml", kDesign);

    // Two TIN surfaces and no name: listed, nothing written.
    HostRun listed = tool({"import", dir + "/design.xml", dir + "/design.tin"});
    EXPECT_EQ(listed.status, 1);
    EXPECT_EQ(listed.output, "tin-landxml: " + dir +
                                 "/design.xml holds 2 TIN surfaces; choose one with --name:\n"
                                 "  \"Clockwise\": 3 points, 1 face\n"
                                 "  \"Design\": 6 points, 5 faces\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/design.tin"));

    HostRun imported =
        tool({"import", dir + "/design.xml", dir + "/design.tin", "--name", "Design"});
    ASSERT_EQ(imported.status, 0) << imported.output;
    EXPECT_EQ(imported.output, "4 triangles written to " + dir +
                                   "/design.tin from surface \"Design\" (6 points, 1 invisible "
                                   "face left out, linear unit meter)\n");
    // Easting first, every face turned clockwise, in document order.
    EXPECT_EQ(readFile(dir + "/design.tin"),
              "0.000000 0.000000 10.000000 10.000000 5.000000 12.500000 20.000000 0.000000 "
              "14.000000\n"
              "20.000000 0.000000 14.000000 10.000000 5.000000 12.500000 20.000000 10.000000 "
              "15.000000\n"
              "20.000000 10.000000 15.000000 10.000000 5.000000 12.500000 0.000000 10.000000 "
              "11.000000\n"
              "0.000000 10.000000 11.000000 10.000000 5.000000 12.500000 0.000000 0.000000 "
              "10.000000\n");

    // A surface whose faces run clockwise keeps their order.
    ASSERT_EQ(tool({"import", dir + "/design.xml", dir + "/cw.tin", "--name", "Clockwise"}).status,
              0);
    EXPECT_EQ(readFile(dir + "/cw.tin"), "0.000000 0.000000 5.000000 0.000000 10.000000 5.000000 "
                                         "20.000000 0.000000 5.000000\n");

    // The existing ground built here, z = 8 + 0.1 x over the same 20 x 10
    // rectangle; the design is z = 10 + 0.2 x + 0.1 y. The difference
    // 2 + 0.1 x + 0.1 y over the rectangle is 400 + 200 + 100 = 700 m³ of
    // fill, exact on a 1 m grid since both surfaces are planes.
    std::string points;
    for (int x = 0; x <= 20; x += 5)
        for (int y = 0; y <= 10; y += 5)
            points += std::to_string(x) + " " + std::to_string(y) + " " +
                      std::to_string(8 + 0.1 * x) + "\n";
    buildSurface("ground", points);
    auto run = runHost({"-e",
                        "(host-dialog \"volumes\" '((\"exist_tin\" . \"ground.tin\") "
                        "(\"proposed_tin\" . \"design.tin\") (\"vol_intrvl\" . \"1\") "
                        "(\"compkt\" . \"1\") (\"v_u_feet\" . \"0\")) \"accept\")",
                        "-e", "(volumes)"},
                       dir);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Cut=0.000000\tFill=700.000000\tNet=Fill 700.000000 Cubic Meters\n"),
              std::string::npos)
        << run.output;
}

// The head of a document whose Design surface holds the given points and
// faces.
std::string document(const std::string& points, const std::string& faces) {
    return "<?xml version=\"1.0\"?>\n"
           "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">\n"
           "<Surfaces>\n<Surface name=\"Design\">\n<Definition surfType=\"TIN\">\n"
           "<Pnts>\n" +
           points + "</Pnts>\n<Faces>\n" + faces +
           "</Faces>\n</Definition>\n</Surface>\n</Surfaces>\n</LandXML>\n";
}

const std::string kPoints =
    "<P id=\"1\">0 0 1</P>\n<P id=\"2\">0 10 1</P>\n<P id=\"3\">10 0 1</P>\n";
const std::string kFaces = "<F>1 2 3</F>\n";

TEST_F(LandXml, EveryHostileInputNamesTheFileAndWhatIsWrongAndWritesNothing) {
    const std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE LandXML [\n"
                             " <!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n"
                             " <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                             " <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
                             " <!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n"
                             " <!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">\n"
                             " <!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">\n"
                             " <!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">\n"
                             " <!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">\n"
                             "]>\n";
    struct Case {
        const char* what;
        std::string text;
        std::string message; // what the message says after the file's name
    };
    const std::vector<Case> cases = {
        {"not XML", "0 0 1 10 0 1 0 10 1\n", "line 1 of"},
        {"an empty file", "", ": the file is empty"},
        {"a document cut short", document(kPoints, kFaces).substr(0, 200), "not well-formed XML: "},
        {"another kind of document", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n",
         "not a LandXML document: its root element is <svg>, not <LandXML>"},
        {"no TIN surface",
         "<LandXML><Surfaces><Surface name=\"g\"><Definition surfType=\"grid\"/></Surface>"
         "</Surfaces></LandXML>\n",
         " holds no TIN surface"},
        {"a face naming a missing point", document(kPoints, "<F>1 2 9</F>\n"),
         "a face names point 9, which is not among the surface's points before it"},
        {"a point with two numbers", document(kPoints + "<P id=\"4\">5 5</P>\n", kFaces),
         "point 4 has 2 numbers; a point is its northing, easting and elevation"},
        {"a point with four numbers", document(kPoints + "<P id=\"4\">5 5 1 1</P>\n", kFaces),
         "point 4 has 4 numbers"},
        {"a non-number", document(kPoints + "<P id=\"4\">5 5 1,5</P>\n", kFaces),
         "point 4: \"1,5\" is not a number"},
        {"an infinite elevation", document(kPoints + "<P id=\"4\">5 5 INF</P>\n", kFaces),
         "point 4: \"INF\" is not a number"},
        {"a coordinate beyond the largest",
         document(kPoints + "<P id=\"4\">5 1e300 1</P>\n", kFaces),
         "point 4 lies beyond the largest coordinates"},
        {"a face of non-ids", document(kPoints, "<F>1 2.5 3</F>\n"),
         "a face names \"2.5\", which is not a point id"},
        {"a face of four points", document(kPoints, "<F>1 2 3 1</F>\n"),
         "a face has 4 point ids; a face of a TIN names three points"},
        {"a point id that is not a number", document("<P id=\"A7\">1 1 1</P>\n", ""),
         "the point id \"A7\" is not a whole number"},
        {"a duplicate id", document(kPoints + "<P id=\"2\">5 5 1</P>\n", kFaces),
         "the point id 2 is used twice"},
        {"an odd invisible flag", document(kPoints, "<F i=\"yes\">1 2 3</F>\n"),
         "a face has i=\"yes\"; it is 1 for an invisible face and 0 otherwise"},
        {"a point holding an element", document("<P id=\"1\">1 <b>2</b> 3</P>\n", ""),
         "a point <P> holds an element"},
        {"an overlong point", document("<P id=\"1\">" + std::string(5000, '1') + "</P>\n", ""),
         "point 1 holds too long a text"},
        {"a billion laughs", bomb + "<LandXML>&h;</LandXML>\n", "line 2 of",
         /* the declaration is refused */},
        {"an external entity",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE LandXML [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
         "<LandXML><Surfaces><Surface name=\"&x;\"/></Surfaces></LandXML>\n",
         "the document has a document type declaration (<!DOCTYPE ...>), which is refused"},
        {"an external DTD",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE LandXML SYSTEM \"http://example.invalid/x.dtd\">\n"
         "<LandXML/>\n",
         "document type declaration"},
        {"an undeclared entity", document("<P id=\"1\">1 &lol; 3</P>\n", ""),
         "not well-formed XML: Entity 'lol' not defined"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string in = dir + "/hostile.xml";
        const std::string out = dir + "/hostile.tin";
        writeFile(in, c.text);
        HostRun run = tool({"import", in, out, "--name", "Design"});
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find("tin-landxml: "), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(in), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_FALSE(std::filesystem::exists(out));
        EXPECT_FALSE(std::filesystem::exists(out + ".tmp"));
    }

    // The messages that name lines: the duplicate names both.
    writeFile(dir + "/dup.xml", document(kPoints + "<P id=\"2\">5 5 1</P>\n", kFaces));
    EXPECT_EQ(tool({"import", dir + "/dup.xml", dir + "/dup.tin"}).output,
              "tin-landxml: line 10 of " + dir +
                  "/dup.xml: the point id 2 is used twice (lines 8 and 10)\n");
    writeFile(dir + "/bomb.xml", bomb + "<LandXML>&h;</LandXML>\n");
    EXPECT_EQ(tool({"import", dir + "/bomb.xml", dir + "/bomb.tin"}).output,
              "tin-landxml: line 2 of " + dir +
                  "/bomb.xml: the document has a document type declaration (<!DOCTYPE ...>), "
                  "which is refused: LandXML needs none, and its entities are never expanded\n");

    // A failed import leaves an earlier output as it was.
    writeFile(dir + "/kept.tin", "old surface\n");
    writeFile(dir + "/bad.xml", document(kPoints, "<F>1 2 9</F>\n"));
    EXPECT_EQ(tool({"import", dir + "/bad.xml", dir + "/kept.tin", "--name", "Design"}).status, 1);
    EXPECT_EQ(readFile(dir + "/kept.tin"), "old surface\n");

    // A name that is not there.
    writeFile(dir + "/good.xml", document(kPoints, kFaces));
    EXPECT_EQ(tool({"import", dir + "/good.xml", dir + "/good.tin", "--name", "Other"}).output,
              "tin-landxml: " + dir +
                  "/good.xml has no TIN surface named \"Other\"; it holds:\n"
                  "  \"Design\": 3 points, 1 face\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/good.tin"));

    // A 2-GB file, sparse: the valid head of a document and then zero bytes,
    // once in the middle of a start tag and once among the points. The
    // reader stops within the first 10 MB.
    for (auto [cut, message] :
         {std::pair<std::size_t, std::string>{150, "line 5 of %: not well-formed XML: a piece of "
                                                   "markup runs on for more than 10 MB"},
          {180, "line 7 of %: not well-formed XML: Char 0x0 out of allowed range"}}) {
        const std::string big = dir + "/big.xml";
        writeFile(big, document(kPoints, kFaces).substr(0, cut));
        int fd = ::open(big.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 2LL * 1024 * 1024 * 1024 + 100), 0);
        ::close(fd);
        HostRun run = tool({"import", big, dir + "/big.tin"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find(message.replace(message.find('%'), 1, big)), std::string::npos)
            << run.output;
        EXPECT_FALSE(std::filesystem::exists(dir + "/big.tin"));
        std::filesystem::remove(big);
    }

    // Export: a triangle file that is not one, a missing file, a name that
    // cannot go into a document, the output over the input.
    writeFile(dir + "/bad.tin", "0 0 1 10 0 1 0 10 1\n0 0 1 10 0 x 0 10 1\n");
    EXPECT_EQ(tool({"export", dir + "/bad.tin", dir + "/bad-out.xml"}).output,
              "tin-landxml: Line 2 of " + dir +
                  "/bad.tin is not a triangle: 0 0 1 10 0 x 0 10 1 (9 numbers expected, 8 "
                  "found, and \"x\" is not a number)\n");
    EXPECT_EQ(tool({"export", dir + "/none.tin", dir + "/bad-out.xml"}).output,
              "tin-landxml: cannot read " + dir + "/none.tin\n");
    writeFile(dir + "/ok.tin", "0 0 1 0 10 1 10 0 1\n");
    HostRun control = tool({"export", dir + "/ok.tin", dir + "/bad-out.xml", "--name", "a\tb"});
    EXPECT_NE(control.output.find("the surface name \"a\tb\" cannot go into a document"),
              std::string::npos)
        << control.output;
    EXPECT_EQ(tool({"export", dir + "/ok.tin", dir + "/ok.tin"}).output,
              "tin-landxml: " + dir + "/ok.tin is the surface being exported\n");
    EXPECT_EQ(readFile(dir + "/ok.tin"), "0 0 1 0 10 1 10 0 1\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/bad-out.xml"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/bad-out.xml.tmp"));

    // Usage.
    for (std::vector<std::string> args : {std::vector<std::string>{},
                                          {"export", "a.tin"},
                                          {"import", "a", "b", "--units", "metric"},
                                          {"export", "a", "b", "--units", "cubits"},
                                          {"convert", "a", "b"},
                                          {"export", "a", "b", "-x"}}) {
        HostRun run = tool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.output.rfind("usage: tin-landxml export", 0), 0u) << run.output;
    }
}

} // namespace
