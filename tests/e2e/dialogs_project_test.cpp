// cadhost with vog.arx and the vog.dcl installed beside it: projects opened
// through the vogopen dialog by a script, and the settings changed from LISP.
#include "support/run_host.h"

#include <gtest/gtest.h>

namespace {

using vogtest::runHost;

std::string openThrough(const std::string& point, const std::string& press = "accept") {
    return "(host-dialog \"vogopen\" '((\"point_file\" . \"" + point + "\")) \"" + press + "\")";
}

TEST(DialogsProject, AScriptOpensAProjectThroughTheDialog) {
    std::string dir = vogtest::freshFolder("e2e-vogopen");
    vogtest::writeFile(dir + "/site.dat", "1 2 3\n");
    auto run = runHost({"-e", openThrough(dir + "/site.dat"), "-e", "(vogopen)", "-e",
                        "(list (nth 0 (vogvar)) (nth 1 (vogvar)))"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "[alert] Settings file not found.  Creating settings file.\n"
                          "(\"dpoints\" \"" +
                              dir + "/site.dat\")\n");
}

TEST(DialogsProject, UnknownAndEmptyPointFilesOpenNothing) {
    std::string dir = vogtest::freshFolder("e2e-vogopen-bad");
    auto run = runHost({"-e", openThrough(dir + "/nope.dat"), "-e", "(vogopen)", "-e",
                        openThrough(""), "-e", "(vogopen)", "-e", "(vogvar)"});
    EXPECT_EQ(run.output, "; dialog vogopen still open after scripted answers: cancelled; error "
                          "\"File does not exist.\" from tile point_file\n"
                          "[alert] You must open a project first!\nnil\n");
}

TEST(DialogsProject, VogsetChangesOnlyExactSettableKeys) {
    std::string dir = vogtest::freshFolder("e2e-vogset");
    auto run =
        runHost({"-e", "(lvogopen \"" + dir + "/site.dat\")", "-e", "(vogset \"dci\" \"2.5\")",
                 "-e", "(vogset \"dpoints\" \"x\")", "-e", "(vogset \"DCI\" \"3\")", "-e",
                 "(list (nth 1 (vogvar)) (nth 18 (vogvar)) (nth 19 (vogvar)))"});
    EXPECT_EQ(run.output, "[alert] Settings file not found.  Creating settings file.\n"
                          "(\"" +
                              dir + "/site.dat\" \"dci\" \"2.5\")\n");
}

TEST(DialogsProject, OpeningBThroughTheDialogSavesAFirst) {
    std::string dir = vogtest::freshFolder("e2e-switch");
    vogtest::writeFile(dir + "/b.dat", "1 2 3\n");
    auto run =
        runHost({"-e", "(lvogopen \"" + dir + "/a.dat\")", "-e", "(vogset \"dci\" \"2.5\")", "-e",
                 openThrough(dir + "/b.dat"), "-e", "(vogopen)", "-e", "(nth 19 (vogvar))"});
    EXPECT_EQ(run.output, "[alert] Settings file not found.  Creating settings file.\n"
                          "[alert] Settings file not found.  Creating settings file.\n"
                          "\"1\"\n");
    EXPECT_NE(vogtest::readFile(dir + "/a.set").find(std::string("d\0c\0i\0=\0002\0.\0005\0", 14)),
              std::string::npos);
}

TEST(DialogsProject, BrowsingChoosesThePointFile) {
    std::string dir = vogtest::freshFolder("e2e-browse");
    vogtest::writeFile(dir + "/site.dat", "1 2 3\n");
    auto run = runHost({"-e", "(host-file \"" + dir + "/site\")", "-e",
                        "(host-dialog \"vogopen\" '((\"pfbrowse\" . \"\")))", "-e", "(vogopen)",
                        "-e", "(nth 1 (vogvar))"});
    EXPECT_EQ(run.output, "[alert] Settings file not found.  Creating settings file.\n"
                          "\"" +
                              dir + "/site.dat\"\n");
}

} // namespace
