// The installed chain in the stand-in CAD host: the start-up script that pelmix writes
// loads the shipped loader, whose appended lines load the plug-in from the installation
// folder.

#include "pelmix_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using pelmix::testing::ScratchFolder;

std::string shippedLoader() {
    std::ifstream in(PELMIX_LOADER, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(LoaderChain, ShippedLoaderEndsWithALineEnd) {
    // The appended (setq dpath ...) must start a line of its own.
    const std::string loader = shippedLoader();
    ASSERT_FALSE(loader.empty()) << PELMIX_LOADER;
    EXPECT_EQ(loader.back(), '\n');
    EXPECT_NE(loader.find("(defun dovogpath"), std::string::npos);
}

#if defined(PELMIX_CADHOST) && defined(PELMIX_PLUGIN)
TEST(LoaderChain, ScriptLoadsTheLoaderWhichLoadsThePlugIn) {
    ScratchFolder folder;
    const std::string dir = folder.path().string() + "/";
    const fs::path plugin = PELMIX_PLUGIN;
    fs::create_symlink(plugin, folder.path() / "vog.arx");
    if (fs::exists(plugin.parent_path() / "vog.dcl"))
        fs::create_symlink(plugin.parent_path() / "vog.dcl", folder.path() / "vog.dcl");
    folder.write("aVogLoader.lsp", shippedLoader());
    folder.setRegistry("HKCU\\SOFTWARE\\Quillmark\\VOG|Install_Dir|" + dir +
                       "\nHKCR\\.dwg||X\nHKCR\\X\\shell\\open\\command||acad.exe\n");
    // Two installations: two pairs of lines, the plug-in loaded once.
    ASSERT_EQ(folder.run().exitCode, 0);
    ASSERT_EQ(folder.run().exitCode, 0);

    const std::string command =
        std::string("'" PELMIX_CADHOST "' --plugin none '") + dir + "gocad.scr' -e '(vogvar)' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << output;

    EXPECT_NE(output.find("VOG: loaded " + dir + "vog.arx"), std::string::npos) << output;
    EXPECT_NE(output.find("VOG: already loaded from " + dir + "vog.arx"), std::string::npos)
        << output;
    // The plug-in's own function answers: no project is open yet.
    EXPECT_NE(output.find("You must open a project first!"), std::string::npos) << output;
    EXPECT_EQ(output.find("error"), std::string::npos) << output;
}
#endif

} // namespace
