#include "accepted_program.h"
#include "lisp_escape.h"
#include "program_path.h"

#include <gtest/gtest.h>

namespace {

using namespace pelmix;

TEST(OpenCommand, QuotedPathEndsAtTheSecondQuote) {
    EXPECT_EQ(programPathFromOpenCommand(R"("C:\Program Files\CAD\acad.exe" /p "my profile")"),
              R"(C:\Program Files\CAD\acad.exe)");
    EXPECT_EQ(programPathFromOpenCommand(R"("C:\CAD\acad.exe")"), R"(C:\CAD\acad.exe)");
    // No closing quote: the rest of the command, not a read past its end.
    EXPECT_EQ(programPathFromOpenCommand(R"("C:\CAD\acad.exe /p)"), R"(C:\CAD\acad.exe /p)");
    EXPECT_EQ(programPathFromOpenCommand(R"("")"), "");
}

TEST(OpenCommand, UnquotedPathEndsAtTheFirstSpace) {
    EXPECT_EQ(programPathFromOpenCommand(R"(C:\CAD\bricscad.exe /x)"), R"(C:\CAD\bricscad.exe)");
    EXPECT_EQ(programPathFromOpenCommand(R"(C:\Program Files\CAD\acad.exe)"), R"(C:\Program)");
    EXPECT_EQ(programPathFromOpenCommand(R"(C:\CAD\acad.exe)"), R"(C:\CAD\acad.exe)");
    EXPECT_EQ(programPathFromOpenCommand(" C:\\CAD\\acad.exe"), "");
    EXPECT_EQ(programPathFromOpenCommand(""), "");
}

TEST(AcceptedProgram, NamesCompareExactlyAtTheEnd) {
    for (const char* path :
         {R"(C:\CAD\icad.exe)", R"(C:\CAD\pcad.exe)", R"(C:\CAD\WCAD.exe)", R"(C:\CAD\acad.exe)",
          R"(C:\CAD\bricscad.exe)", "acad.exe", "bricscad.exe", R"(C:\CAD\carlson\acad.exe)"})
        EXPECT_TRUE(isAcceptedProgram(path)) << path;
    for (const char* path : {R"(C:\CAD\ACAD.EXE)", R"(C:\CAD\wcad.exe)", R"(C:\CAD\Bricscad.exe)",
                             R"(C:\CAD\acad.exe.bak)", R"(C:\CAD\acad.com)", "cad.exe", "", "e"})
        EXPECT_FALSE(isAcceptedProgram(path)) << path;
}

TEST(AcceptedProgram, RefusedPatternsAnywhereInThePath) {
    EXPECT_FALSE(isAcceptedProgram(R"(C:\Carlson\acad.exe)"));
    EXPECT_FALSE(isAcceptedProgram(R"(C:\Tools\MicroSurvey 2024\bricscad.exe)"));
    EXPECT_FALSE(isAcceptedProgram(R"(C:\CAD\CarlsonWCAD.exe)"));
}

// The texts themselves are checked byte for byte through whole runs (run_test.cpp).
TEST(LispEscape, BackslashesAreDoubledAndQuotesEscaped) {
    EXPECT_EQ(escapeForLisp(R"(C:\Vog\)"), R"(C:\\Vog\\)");
    EXPECT_EQ(escapeForLisp(R"(\\server\share\)"), R"(\\\\server\\share\\)");
    EXPECT_EQ(escapeForLisp("no backslash"), "no backslash");
    // A double quote gets a backslash too, so that it cannot end the literal.
    EXPECT_EQ(escapeForLisp(R"(C:\Vo"g\)"), R"(C:\\Vo\"g\\)");
    EXPECT_EQ(escapeForLisp(R"(")"), R"(\")");
}

} // namespace
