// Whole runs of pelmix through the stand-in platform: the registry from a text file, the
// answer from PELMIX_ANSWER, the question and the program start on standard output.

#include "pelmix_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace {

using pelmix::testing::RunResult;
using pelmix::testing::ScratchFolder;

const std::string loaderFile = R"(C:\Vog\aVogLoader.lsp)";
const std::string scriptFile = R"(C:\Vog\gocad.scr)";
// What one run appends to the loader and writes as the script, for D = C:\Vog\.
const std::string loaderPair = "(setq dpath \"C:\\\\Vog\\\\\")\r\n(dovogpath)\r\n";
const std::string scriptBytes = "(LOAD \"C:\\\\Vog\\\\aVogLoader.lsp\")\r\n;;End of script";

const std::string installDirLine =
    "HKEY_CURRENT_USER\\SOFTWARE\\Quillmark\\VOG|Install_Dir|C:\\Vog\\\n";
const std::string associationLine = "HKEY_CLASSES_ROOT\\.dwg||Vog.Drawing.1\n";

std::string commandLine(const std::string& openCommand) {
    return "HKEY_CLASSES_ROOT\\Vog.Drawing.1\\shell\\open\\command||" + openCommand + "\n";
}

std::string registryFor(const std::string& openCommand) {
    return installDirLine + associationLine + commandLine(openCommand);
}

std::string question(const std::string& quotedProgram, const char* answer) {
    return "[Install Quillmark Menus]\nDo you want to install the Quillmark menus in \n" +
           quotedProgram + "\nanswer: " + answer + "\n";
}

std::string startLine(const std::string& quotedProgram) {
    return "start: " + quotedProgram + " /b \"C:\\Vog\\gocad.scr\"\n";
}

class InstallerRun : public ::testing::Test {
  protected:
    ScratchFolder folder;
};

TEST_F(InstallerRun, QuotedOpenCommandWithProfileStartsThatProgram) {
    folder.setRegistry(registryFor(R"("C:\Program Files\CAD\acad.exe" /p "Vog profile")"));
    const RunResult result = folder.run("yes");
    EXPECT_EQ(result.exitCode, 0);
    const std::string quoted = R"("C:\Program Files\CAD\acad.exe")";
    EXPECT_EQ(result.output, question(quoted, "yes") + startLine(quoted));
    EXPECT_EQ(folder.read(loaderFile), loaderPair);
    EXPECT_EQ(folder.read(scriptFile), scriptBytes);
}

TEST_F(InstallerRun, UnquotedBricscadIsAcceptedByItsLastTwelveCharacters) {
    folder.setRegistry(registryFor(R"(C:\CAD\bricscad.exe /x)"));
    const RunResult result = folder.run("yes");
    EXPECT_EQ(result.exitCode, 0);
    const std::string quoted = R"("C:\CAD\bricscad.exe")";
    EXPECT_EQ(result.output, question(quoted, "yes") + startLine(quoted));
}

// Each open command with whether its program gets the question.
TEST_F(InstallerRun, OnlyAcceptedProgramsAreAskedAbout) {
    const struct {
        const char* openCommand;
        const char* quotedProgram;
        bool accepted;
    } cases[] = {
        {R"("C:\CAD\WCAD.exe" "%1")", R"("C:\CAD\WCAD.exe")", true},
        {R"("C:\CAD\ACAD.EXE" "%1")", R"("C:\CAD\ACAD.EXE")", false},
        {R"("C:\Carlson\acad.exe" "%1")", R"("C:\Carlson\acad.exe")", false},
        {R"(C:\Apps\MicroSurvey\icad.exe %1)", R"("C:\Apps\MicroSurvey\icad.exe")", false},
        {R"(C:\CAD\CarlsonTools\pcad.exe)", R"("C:\CAD\CarlsonTools\pcad.exe")", false},
        // Cut at the space: P is C:\Program, which names no accepted program.
        {R"(C:\Program Files\CAD\acad.exe /p x)", R"("C:\Program")", false},
        {"", R"("")", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.openCommand);
        ScratchFolder run;
        run.setRegistry(registryFor(c.openCommand));
        const RunResult result = run.run("yes");
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.output,
                  c.accepted ? question(c.quotedProgram, "yes") + startLine(c.quotedProgram) : "");
        // Loader and script are written either way.
        EXPECT_EQ(run.read(loaderFile), loaderPair);
        EXPECT_EQ(run.read(scriptFile), scriptBytes);
    }
}

TEST_F(InstallerRun, AnswerNoStartsNothing) {
    folder.setRegistry(registryFor(R"("C:\CAD\acad.exe" /p a)"));
    for (const char* answer : {"no", ""}) {
        const RunResult result = folder.run(answer);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.output, question(R"("C:\CAD\acad.exe")", "no"));
    }
    EXPECT_EQ(folder.read(scriptFile), scriptBytes);
}

TEST_F(InstallerRun, MissingInstallFolderWritesNothing) {
    const std::string rest = associationLine + commandLine(R"("C:\CAD\acad.exe")");
    for (const std::string& registry :
         {rest, "HKEY_CURRENT_USER\\SOFTWARE\\Quillmark\\VOG|Other|x\n" + rest,
          "HKEY_CURRENT_USER\\SOFTWARE\\Quillmark\\VOG|Install_Dir|\n" + rest}) {
        folder.setRegistry(registry);
        const RunResult result = folder.run("yes");
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.output, "");
        EXPECT_NE(result.errors.find("Install_Dir"), std::string::npos) << result.errors;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
            << "only the registry file may be there";
    }
}

TEST_F(InstallerRun, MissingAssociationOrOpenCommandFailsAfterTheLoader) {
    for (const std::string& registry :
         {installDirLine + commandLine(R"("C:\CAD\acad.exe")"), installDirLine + associationLine}) {
        ScratchFolder run;
        run.setRegistry(registry);
        const RunResult result = run.run("yes");
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.output, "");
        EXPECT_EQ(run.read(loaderFile), loaderPair);
        EXPECT_FALSE(run.exists(scriptFile));
    }
}

TEST_F(InstallerRun, UnwritableLoaderIsLeftAloneAndFails) {
    std::filesystem::create_directory(folder.path() / loaderFile);
    folder.setRegistry(registryFor(R"("C:\CAD\acad.exe")"));
    const RunResult result = folder.run("yes");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_NE(result.errors.find(loaderFile), std::string::npos) << result.errors;
    EXPECT_TRUE(std::filesystem::is_empty(folder.path() / loaderFile));
    EXPECT_FALSE(folder.exists(scriptFile));
}

TEST_F(InstallerRun, UnwritableScriptFailsWithoutQuestion) {
    std::filesystem::create_directory(folder.path() / scriptFile);
    folder.setRegistry(registryFor(R"("C:\CAD\acad.exe")"));
    const RunResult result = folder.run("yes");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_NE(result.errors.find(scriptFile), std::string::npos) << result.errors;
    EXPECT_EQ(folder.read(loaderFile), loaderPair);
}

TEST_F(InstallerRun, EveryRunAppendsToTheLoaderAndRewritesTheScript) {
    const std::string shipped = ";; shipped loader\r\n(defun dovogpath () (princ))\r\n";
    folder.write(loaderFile, shipped);
    folder.write(scriptFile, "an older, longer script that must disappear\r\n");
    folder.setRegistry(registryFor(R"(C:\CAD\acad.exe)"));
    EXPECT_EQ(folder.run().exitCode, 0);
    EXPECT_EQ(folder.run().exitCode, 0);
    EXPECT_EQ(folder.read(loaderFile), shipped + loaderPair + loaderPair);
    EXPECT_EQ(folder.read(scriptFile), scriptBytes);
}

TEST_F(InstallerRun, FolderWithoutTrailingBackslashStillNamesItsFiles) {
    folder.setRegistry("HKCU\\SOFTWARE\\Quillmark\\VOG|Install_Dir|C:\\Vog\n" + associationLine +
                       commandLine(R"(C:\CAD\acad.exe)"));
    const RunResult result = folder.run("yes");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(folder.read(loaderFile), loaderPair);
    EXPECT_EQ(folder.read(scriptFile), scriptBytes);
    EXPECT_EQ(result.output,
              question(R"("C:\CAD\acad.exe")", "yes") + startLine(R"("C:\CAD\acad.exe")"));
}

TEST_F(InstallerRun, ValuesMustFitTheRegistryBuffer) {
    // 254 characters and the terminating NUL fill the 255 bytes exactly.
    const std::string head = R"(C:\CAD\acad.exe /p )";
    folder.setRegistry(registryFor(head + std::string(254 - head.size(), 'p')));
    RunResult result = folder.run("no");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, question(R"("C:\CAD\acad.exe")", "no"));

    folder.setRegistry(registryFor(head + std::string(255 - head.size(), 'p')));
    result = folder.run("no");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, "");
}

TEST_F(InstallerRun, UnreadableRegistryFileIsNamed) {
    // No registry.txt in the folder at all.
    const RunResult result = folder.run("yes");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("registry.txt"), std::string::npos) << result.errors;
    EXPECT_FALSE(folder.exists(loaderFile));

    // A folder under the registry file's name cannot be read, and a FIFO would
    // wait for a writer: both are a missing registry file.
    std::filesystem::create_directory(folder.path() / "registry.txt");
    RunResult folderRun = folder.run("yes");
    EXPECT_EQ(folderRun.exitCode, 1);
    EXPECT_EQ(folderRun.errors, result.errors);
    std::filesystem::remove(folder.path() / "registry.txt");
    ASSERT_EQ(mkfifo((folder.path() / "registry.txt").c_str(), 0600), 0);
    RunResult fifoRun = folder.run("yes");
    EXPECT_EQ(fifoRun.exitCode, 1);
    EXPECT_EQ(fifoRun.errors, result.errors);
    EXPECT_FALSE(folder.exists(loaderFile));
}

TEST_F(InstallerRun, ADoubleQuoteInTheFolderIsEscapedInTheLoaderAndScript) {
    folder.setRegistry("HKCU\\SOFTWARE\\Quillmark\\VOG|Install_Dir|C:\\Vo\"g\\\n" +
                       associationLine + commandLine(R"(C:\CAD\acad.exe)"));
    EXPECT_EQ(folder.run("no").exitCode, 0);
    EXPECT_EQ(folder.read(R"(C:\Vo"g\aVogLoader.lsp)"),
              "(setq dpath \"C:\\\\Vo\\\"g\\\\\")\r\n(dovogpath)\r\n");
    EXPECT_EQ(folder.read(R"(C:\Vo"g\gocad.scr)"),
              "(LOAD \"C:\\\\Vo\\\"g\\\\aVogLoader.lsp\")\r\n;;End of script");
}

} // namespace
