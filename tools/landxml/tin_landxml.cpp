// tin-landxml: a surface in and out as LandXML 1.2, the exchange format of
// field controllers and design programs.
//
//   tin-landxml export SURFACE.tin OUT.xml [--name NAME] [--units metric|imperial]
//   tin-landxml import IN.xml OUT.tin [--name NAME]
//
// export writes the triangles of a triangle file as one TIN surface; import
// writes one TIN surface of a LandXML file as a triangle file in the
// system's own format, faces in document order, invisible faces left out.
// Export then import gives back the same triangle file byte for byte.
//
// The XML library is libxml2 (Debian's libxml2-dev): its SAX parser streams
// the document, so files of any size are read in bounded memory, and it
// names the line of every well-formedness error. pugixml, the other
// candidate, holds the whole document in memory as a tree (a 2-GB file would
// need a size limit) and gives byte offsets instead of lines. The reader
// refuses DTDs and never expands entities (landxml_reader.h).
//
// Corner order: the system's triangles run clockwise in plan (x easting, y
// northing); LandXML faces are usually listed counter-clockwise. Export
// names each triangle's corners as first, third, second. Import looks at the
// surface as a whole: when its faces together turn counter-clockwise (the
// sum of their signed plan areas is positive, or zero) every face i j k
// becomes the triangle i k j; when they turn clockwise, as some programs
// write them, every face is kept in its order. A single face against the
// rest keeps its turn relative to the rest, which is what makes the round
// trip exact for every triangle file whose triangles together run clockwise.
//
// Nothing is written unless the whole input was read; the output replaces
// its file in one step (a temporary file beside it, then a rename).
#include "base/file_replace.h"
#include "base/wide_text.h"
#include "landxml/landxml_reader.h"
#include "landxml/landxml_writer.h"
#include "surface/files/triangle_file.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace vog;

const char* kUsage =
    "usage: tin-landxml export SURFACE.tin OUT.xml [--name NAME] [--units metric|imperial]\n"
    "       tin-landxml import IN.xml OUT.tin [--name NAME]\n";

struct Arguments {
    std::string mode;
    std::string in;
    std::string out;
    std::optional<std::string> name;
    landxml::Units units = landxml::Units::Metric;
};

bool parseArguments(int argc, char** argv, Arguments& args) {
    std::vector<std::string> positional;
    bool unitsGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--name" && i + 1 < argc && !args.name) {
            args.name = argv[++i];
        } else if (arg == "--units" && i + 1 < argc && !unitsGiven) {
            std::string units = argv[++i];
            unitsGiven = true;
            if (units == "metric")
                args.units = landxml::Units::Metric;
            else if (units == "imperial")
                args.units = landxml::Units::Imperial;
            else
                return false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3) return false;
    args.mode = positional[0];
    args.in = positional[1];
    args.out = positional[2];
    if (args.mode == "import" && unitsGiven) return false;
    return args.mode == "export" || args.mode == "import";
}

std::string counted(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

int fail(const std::string& message) {
    std::fprintf(stderr, "tin-landxml: %s\n", message.c_str());
    return 1;
}

// The output must not be the input: it is replaced only after the input was
// read, but the input would be gone.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

bool writeOutput(const std::string& path, const std::string& bytes) {
    return replaceFile(fromUtf8(path), bytes);
}

int exportSurface(const Arguments& args) {
    std::string name = args.name ? *args.name : std::filesystem::path(args.in).stem().string();
    if (!landxml::isSurfaceName(name))
        return fail("the surface name \"" + name +
                    "\" cannot go into a document: it must be UTF-8 text without control "
                    "characters, at most 1000 bytes" +
                    (args.name ? "" : " (choose one with --name)"));
    surface::TriangleFileReader reader(fromUtf8(args.in));
    if (!reader.isOpen()) return fail("cannot read " + args.in);
    landxml::TinDocument document;
    surface::Triangle triangle;
    for (;;) {
        auto result = reader.read(triangle);
        if (result == surface::TriangleFileReader::Result::End) break;
        if (result == surface::TriangleFileReader::Result::Malformed)
            return fail(toUtf8(reader.malformedMessage()));
        document.addTriangle(triangle);
    }
    if (sameFile(args.in, args.out)) return fail(args.out + " is the surface being exported");

    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char date[32], time[32];
    std::strftime(date, sizeof date, "%Y-%m-%d", &utc);
    std::strftime(time, sizeof time, "%H:%M:%S", &utc);
    if (!writeOutput(args.out, document.text(name, args.units, date, time)))
        return fail("cannot write " + args.out);
    std::printf("%s, %s written to %s as surface \"%s\" (%s)\n",
                counted(document.faceCount(), "triangle").c_str(),
                counted(document.pointCount(), "point").c_str(), args.out.c_str(), name.c_str(),
                args.units == landxml::Units::Metric ? "metric" : "imperial");
    return 0;
}

int importSurface(const Arguments& args) {
    landxml::ReadResult read = landxml::readTinSurface(args.in, args.name ? &*args.name : nullptr);
    if (read.outcome != landxml::ReadResult::Outcome::Surface) return fail(read.message);
    if (sameFile(args.in, args.out)) return fail(args.out + " is the document being imported");

    const landxml::TinSurface& tin = read.surface;
    const auto& p = tin.points;
    double turn = 0; // twice the signed plan area of all faces; > 0 counter-clockwise
    for (const auto& f : tin.faces)
        turn += (p[f[1]].x - p[f[0]].x) * (p[f[2]].y - p[f[0]].y) -
                (p[f[2]].x - p[f[0]].x) * (p[f[1]].y - p[f[0]].y);
    const bool reverse = turn >= 0;

    std::string bytes;
    bytes.reserve(tin.faces.size() * 128); // a line of UTM-sized numbers is about 120 bytes
    for (const auto& f : tin.faces) {
        surface::Triangle t;
        t.corners = {p[f[0]], p[reverse ? f[2] : f[1]], p[reverse ? f[1] : f[2]]};
        surface::appendTriangleRecord(bytes, t);
    }
    if (!writeOutput(args.out, bytes)) return fail("cannot write " + args.out);
    std::string details = counted(p.size(), "point");
    if (tin.invisibleFaces > 0)
        details += ", " + counted(tin.invisibleFaces, "invisible face") + " left out";
    if (!tin.linearUnit.empty())
        details += ", linear unit " + landxml::printableName(tin.linearUnit);
    std::printf("%s written to %s from surface \"%s\" (%s)\n",
                counted(tin.faces.size(), "triangle").c_str(), args.out.c_str(),
                landxml::printableName(tin.name).c_str(), details.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!parseArguments(argc, argv, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return args.mode == "export" ? exportSurface(args) : importSurface(args);
}
