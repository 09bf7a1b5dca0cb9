// What the stand-in host reads from outside, spoiled in every way a file can
// be: LISP scripts (on the command line and through load), the dialog file,
// and drawings opened with --open. Valid variants are read; the others give
// one message naming the file and the line, quickly, and never a crash.
#include "dcl/dcl.h"
#include "host/standin.h"
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace {

using namespace std::chrono_literals;
using vogtest::readFile;
using vogtest::runHost;
using vogtest::writeFile;

#if defined(__SANITIZE_ADDRESS__)
constexpr auto kQuick = 60s;
#else
constexpr auto kQuick = 10s;
#endif

std::string binaryGarbage() {
    std::string bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>((i * 7 + 3) % 256);
    return bytes;
}

struct Case {
    const char* name;
    std::string bytes;
    const char* expected; // a line the output must hold
};

// Runs cadhost without the plug-in; checks the time and that it ended by
// itself with a status.
vogtest::HostRun timedRun(const std::vector<std::string>& args, const std::string& folder,
                          const std::string& label) {
    std::vector<std::string> all = {"--plugin", "none"};
    all.insert(all.end(), args.begin(), args.end());
    const auto started = std::chrono::steady_clock::now();
    vogtest::HostRun run = runHost(all, folder);
    EXPECT_LT(std::chrono::steady_clock::now() - started, kQuick) << label;
    EXPECT_TRUE(run.status == 0 || run.status == 1) << label << ": status " << run.status;
    return run;
}

TEST(HostileStandinInputs, LispScripts) {
    const std::string folder = vogtest::freshFolder("hostile-lisp");
    const std::vector<Case> cases = {
        {"empty", "", ""},
        {"no line end at the end", "(princ \"a\")\n(+ 1 2)", "3"},
        {"CR LF", "(princ \"a\")\r\n(+ 1 2)\r\n", "3"},
        {"lone CR with a comment", "; first\r(+ 1 2)\r(+ 2 2)\r", "4"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF(+ 1 2)\n", "3"},
        {"numbers", "(list 1e308 -0 +5 -0.0)\n", "(1e+308 0 5 -0.0)"},
        {"nan and inf are symbols", "(list nan inf)\n", "(nil nil)"},
        {"commas and semicolons", "(+ 1 2) ; 4,5;6\n(+ 2 2)\n", "4"},
        {"unclosed list", "(+ 1 2)\n\n(setq x (+ 1 2)\n",
         "; error: malformed list on input (S, line 3)"},
        {"lone CR, unclosed list", "(+ 1 2)\r(+ 2 2)\r(foo",
         "; error: malformed list on input (S, line 3)"},
        {"extra parenthesis", "(+ 1 2)\n)\n", "; error: extra right paren on input (S, line 2)"},
        {"1 MB string without an end", "(princ \"" + std::string(1 << 20, 'a'),
         "; error: malformed string on input (S, line 1)"},
        {"1 MB of digits", std::string(1 << 20, '7') + "\n", ""},
        {"deep nesting", std::string(100000, '('), "nested too deeply (S, line 1)"},
        {"binary garbage", binaryGarbage(), ""},
        {"NUL byte", std::string("(+ 1\0 2)\n(+ 2 2)\n", 17), "4"},
        // An overlong slash, an encoded surrogate and a value above U+10FFFF
        // are not UTF-8: each of their bytes stands for itself (Latin-1).
        {"bytes that are not UTF-8", "(princ \"\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80\")\n",
         "\xC3\x80\xC2\xAF|\xC3\xAD\xC2\xA0\xC2\x80|\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},
    };
    for (const Case& c : cases) {
        const std::string script = folder + "/s.lsp";
        writeFile(script, c.bytes);
        std::string expected = c.expected;
        if (auto at = expected.find("(S,"); at != std::string::npos)
            expected.replace(at + 1, 1, script);
        vogtest::HostRun run = timedRun({script}, folder, c.name);
        EXPECT_NE(run.output.find(expected), std::string::npos) << c.name << "\n"
                                                                << run.output.substr(0, 2000);
        // Through load the message names the loaded file the same way.
        if (expected.rfind("; error: malformed", 0) == 0) {
            vogtest::HostRun loaded = timedRun({"-e", "(load \"" + script + "\")"}, folder, c.name);
            EXPECT_NE(loaded.output.find(expected), std::string::npos)
                << c.name << "\n"
                << loaded.output.substr(0, 2000);
        }
    }
}

TEST(HostileStandinInputs, DialogFiles) {
    const std::string good = readFile(VOG_SOURCE_DIR "/plugin/resources/vog.dcl");
    ASSERT_FALSE(good.empty());
    std::string crOnly = good;
    for (char& ch : crOnly)
        if (ch == '\n') ch = '\r';
    std::string crlf;
    for (char ch : good)
        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    const std::size_t mesh = good.find("mesh : dialog");
    ASSERT_NE(mesh, std::string::npos);
    const std::size_t meshLine = std::count(good.begin(), good.begin() + mesh, '\n') + 1;
    const int lineCount = static_cast<int>(std::count(good.begin(), good.end(), '\n'));
    struct DclCase {
        const char* name;
        std::string bytes;
        int errorLine; // 0: read, with every dialog
    };
    const std::vector<DclCase> cases = {
        {"no line end at the end", good.substr(0, good.find_last_not_of("\n") + 1), 0},
        {"CR LF", crlf, 0},
        {"lone CR", crOnly, 0},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + good, 0},
        {"numbers", good + "odd : dialog { width = 99999999999999999999; height = -0; }\n", 0},
        {"an exponent", good + "odd : dialog {\n width = 1e308; }\n", lineCount + 2},
        {"truncated in a dialog", good.substr(0, mesh + 20), -1},
        {"text header", "x y z\n" + good, 1},
        {"commas", "a , b;\n" + good, 1},
        {"1 MB line without a line end", std::string(1 << 20, 'x'), 1},
        {"binary garbage", binaryGarbage(), 1},
        {"NUL byte", std::string("vog_x : edit_box {\0 }\n", 21) + good, 1},
    };
    const std::string folder = vogtest::freshFolder("hostile-dcl");
    for (const DclCase& c : cases) {
        const std::string path = folder + "/vog.dcl";
        writeFile(path, c.bytes);
        standin::dcl::DclFile file;
        std::wstring error;
        const auto started = std::chrono::steady_clock::now();
        const bool read = standin::dcl::readDclFile(standin::fromUtf8(path), file, error);
        EXPECT_LT(std::chrono::steady_clock::now() - started, kQuick) << c.name;
        if (c.errorLine == 0) {
            EXPECT_TRUE(read) << c.name << ": " << standin::toUtf8(error);
            for (const wchar_t* dialog :
                 {L"vogopen", L"triangulate", L"contours", L"mesh", L"showtin", L"volumes"})
                EXPECT_EQ(file.dialogs.count(dialog), 1u)
                    << c.name << ": " << standin::toUtf8(dialog);
        } else {
            EXPECT_FALSE(read) << c.name;
            // "FILE:LINE: what is wrong"; a file cut short is reported where it ends.
            const std::string prefix = path + ":";
            const std::string text = standin::toUtf8(error);
            EXPECT_EQ(text.rfind(prefix, 0), 0u) << c.name << ": " << text;
            if (c.errorLine > 0) {
                EXPECT_EQ(text.rfind(prefix + std::to_string(c.errorLine) + ":", 0), 0u)
                    << c.name << ": " << text;
            } else {
                const int line = std::atoi(text.c_str() + prefix.size());
                EXPECT_GE(line, static_cast<int>(meshLine)) << c.name << ": " << text;
            }
            EXPECT_LT(text.size(), 400u) << c.name << ": the message echoes the file";
        }
    }
    // An empty file is read and holds no dialog.
    writeFile(folder + "/vog.dcl", "");
    standin::dcl::DclFile file;
    std::wstring error;
    EXPECT_TRUE(standin::dcl::readDclFile(standin::fromUtf8(folder + "/vog.dcl"), file, error));
    EXPECT_TRUE(file.dialogs.empty());
}

TEST(HostileStandinInputs, DrawingsOpened) {
    const std::string folder = vogtest::freshFolder("hostile-dxf");
    // A drawing with one line, as cadhost itself writes it.
    vogtest::HostRun made =
        timedRun({"--save", folder + "/good.dxf", "-e",
                  "(entmake '((0 . \"LINE\") (8 . \"0\") (10 0.0 0.0 0.0) (11 3.0 4.0 0.0)))"},
                 folder, "save");
    ASSERT_EQ(made.status, 0) << made.output;
    const std::string good = readFile(folder + "/good.dxf");
    const std::string start = "10\n0.0\n20\n0.0\n30\n0.0\n11";
    ASSERT_NE(good.find(start), std::string::npos) << good;
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string out = good;
        out.replace(out.find(from), from.size(), to);
        return out;
    };
    std::string crOnly = good, crlf;
    for (char& ch : crOnly)
        if (ch == '\n') ch = '\r';
    for (char ch : good)
        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    const std::string line = "<Entity name:";
    const std::vector<Case> cases = {
        {"no line end at the end", good.substr(0, good.size() - 1), "<Entity name:"},
        {"CR LF", crlf, "<Entity name:"},
        {"lone CR", crOnly, "<Entity name:"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + good, "<Entity name:"},
        {"1e308, -0 and +0", replaced(start, "10\n1e308\n20\n-0\n30\n+0.0\n11"), "<Entity name:"},
        {"empty", "", "nil"},
        {"nan", replaced(start, "10\nnan\n20\n0.0\n30\n0.0\n11"),
         "line 82: \"nan\" is not a number"},
        {"inf", replaced(start, "10\ninf\n20\n0.0\n30\n0.0\n11"),
         "line 82: \"inf\" is not a number"},
        {"comma", replaced("11\n3.0", "11\n3,0"), "line 88: \"3,0\" is not a number"},
        {"text header", "x y z\n" + good, "line 1: a group code was expected, not \"x y z\""},
        {"1 MB line without a line end", std::string(1 << 20, '7'),
         "line 1: a group code was expected"},
        {"binary garbage", binaryGarbage(), "line 1: a group code was expected"},
        {"NUL byte in a group code",
         replaced("\n11\n", "\n1\0"
                            "1\n"),
         "a group code was expected"},
        {"truncated record", good.substr(0, good.find("11\n3.0") + 3),
         "line 87: group 11 has no value"},
    };
    for (const Case& c : cases) {
        writeFile(folder + "/in.dxf", c.bytes);
        vogtest::HostRun run =
            timedRun({"--open", folder + "/in.dxf", "-e", "(entlast)"}, folder, c.name);
        EXPECT_NE(run.output.find(c.expected), std::string::npos) << c.name << "\n"
                                                                  << run.output.substr(0, 2000);
        if (std::string(c.expected).rfind("line ", 0) == 0 ||
            std::string(c.expected).find("group code") != std::string::npos) {
            EXPECT_EQ(run.status, 1) << c.name;
            EXPECT_NE(run.output.find("cadhost: " + folder + "/in.dxf line "), std::string::npos)
                << c.name << "\n"
                << run.output.substr(0, 2000);
            EXPECT_LT(run.output.size(), 400u) << c.name << ": the message echoes the file";
        }
    }
}

} // namespace
