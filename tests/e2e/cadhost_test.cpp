// cadhost as a user runs it: the command line, LISP, and the plug-in loaded
// with dlopen.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using vogtest::readFile;
using vogtest::runHost;

std::string utf16Lines(const std::vector<std::string>& lines) {
    std::string out = "\xFF\xFE";
    for (const auto& line : lines)
        for (char c : line + "\r\n")
            out += std::string{c, '\0'};
    return out;
}

TEST(Cadhost, VogvarWithoutProjectAlertsAndPrintsNil) {
    auto run = runHost({"-e", "(vogvar)"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "[alert] You must open a project first!\nnil\n");
}

TEST(Cadhost, OpenListAndSaveAtExit) {
    std::string dir = vogtest::freshFolder("e2e") + "/some/dir";
    std::filesystem::create_directories(dir);
    auto run = runHost({"-e", "(lvogopen \"" + dir + "/site.dat\")", "-e", "(vogvar)"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(
        run.output,
        "[alert] Settings file not found.  Creating settings file.\n"
        "(\"dpoints\" \"" +
            dir +
            "/site.dat\" \"dfaults\" \"\" \"dbndry\" \"\" \"uelev\" \"0\" "
            "\"ufaults\" \"0\" \"ubound\" \"0\" \"dimfaults\" \"3\" \"dcw\" \"0\" \"diw\" \"0\" "
            "\"dci\" \"1\" \"dii\" \"5\" \"dcln\" \"KT_Regcontours\" \"diln\" \"KT_Indxcontours\" "
            "\"dxi\" \"1\" \"dzi\" \"1\" \"dbe\" \"0\" \"dsk\" \"0\" \"dmln\" \"KT_Mesh\")\n");
    EXPECT_EQ(readFile(dir + "/site.set"),
              utf16Lines({"dpoints=" + dir + "/site.dat", "dfaults=", "dbndry=", "ufaults=0",
                          "ubound=0", "dimfaults=3", "uelev=0", "dcw=0", "diw=0", "dci=1", "dii=5",
                          "dcln=KT_Regcontours", "diln=KT_Indxcontours", "dxi=1", "dzi=1",
                          "dcround=0", "dbe=0", "dsk=0", "dmln=KT_Mesh"}));

    // The next session reads it back, with a change made by vogset.
    run = runHost({"-e", "(lvogopen \"" + dir + "/site.dat\")", "-e", "(vogset \"dci\" \"0.5\")"});
    EXPECT_EQ(run.output, "");
    run = runHost({"-e", "(lvogopen \"" + dir + "/site.dat\")", "-e", "(nth 19 (vogvar))"});
    EXPECT_EQ(run.output, "\"0.5\"\n");
}

TEST(Cadhost, ScriptsExpressionsAndErrorsRunInOrder) {
    std::string dir = vogtest::freshFolder("script");
    vogtest::writeFile(
        dir + "/a.lsp",
        "; a comment\n(setq x 2.5)\n(undefined-thing 1)\n(princ \"after\")\n(princ)\n");
    auto run = runHost(
        {"-e", "(setq y (list 1 \"two\" 'three (cons 4 5)))", dir + "/a.lsp", "-e", "(+ x 1)"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "(1 \"two\" THREE (4 . 5))\n2.5\n"
                          "; error: no function definition: UNDEFINED-THING\n"
                          "after\n\"after\"\n3.5\n");
}

TEST(Cadhost, UnreadableScriptOrBadOptionFails) {
    auto run = runHost({"/no/such/script.lsp"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("cannot read script /no/such/script.lsp"), std::string::npos);
    EXPECT_EQ(runHost({"--frobnicate"}).status, 2);
    EXPECT_EQ(runHost({"-e"}).status, 2);
}

TEST(Cadhost, MalformedInputIsReportedAndTheRestStops) {
    auto run = runHost({"-e", "(princ \"ok\") (list 1 2", "-e", "(princ)"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "ok\n\"ok\"\n; error: malformed list on input\n");
}

TEST(Cadhost, DeepAndLongInputIsRefusedOrHandledWithoutCrashing) {
    std::string dir = vogtest::freshFolder("deep");
    vogtest::writeFile(dir + "/deep.lsp", std::string(100000, '(') + "\n(princ \"unreached\")");
    auto run = runHost({"--plugin", "none", dir + "/deep.lsp", "-e", "(+ 1 1)"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "; error: malformed list on input: nested too deeply (" + dir +
                              "/deep.lsp, line 1)\n2\n");

    // Runaway recursion is an error; long and deep lists live and die quietly.
    run = runHost({"--plugin", "none", "-e", "(defun f (n) (f n))", "-e", "(f 1)", "-e",
                   "(setq a nil b nil)", "-e", "(repeat 300000 (setq a (cons 1 a)))", "-e",
                   "(repeat 100000 (setq b (list b)))", "-e", "(length a)", "-e", "(equal a a)",
                   "-e", "(princ)"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("; error: stack limit reached"), std::string::npos)
        << run.output.substr(0, 300);
    EXPECT_NE(run.output.find("\n300000\nT\n"), std::string::npos);
}

TEST(Cadhost, SecondDrawingHasTheFunctionsAndSharesTheProject) {
    std::string dir = vogtest::freshFolder("drawings");
    auto run = runHost({"-e", "(lvogopen \"" + dir + "/p.dat\")", "-e", "(host-new-drawing)", "-e",
                        "(cadr (vogvar))"});
    EXPECT_EQ(run.output, "[alert] Settings file not found.  Creating settings file.\n"
                          "\"Drawing2.dwg\"\n\"" +
                              dir + "/p.dat\"\n");
}

TEST(Cadhost, StandardInputIsAScriptWhenNotATerminal) {
    auto run = runHost({}, ".", "(setq a \"x\\\\y\\n\")\n(strcat a \"z\")\n");
    EXPECT_EQ(run.output, "\"x\\\\y\\n\"\n\"x\\\\y\\nz\"\n");
}

TEST(Cadhost, WithoutThePluginItsFunctionsAreUndefined) {
    auto run = runHost({"--plugin", "none", "-e", "(vogvar)"});
    EXPECT_EQ(run.output, "; error: no function definition: VOGVAR\n");
    run = runHost({"--plugin", "/no/such/vog.arx", "-e", "(+ 1 2)"});
    EXPECT_NE(run.output.find("cadhost: cannot load /no/such/vog.arx"), std::string::npos);
    EXPECT_NE(run.output.find("3\n"), std::string::npos);
}

} // namespace
