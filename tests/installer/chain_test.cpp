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
// Installs into the folder `name` inside a scratch folder twice and runs the start-up
// script in cadhost; its output.
std::string installAndStart(const ScratchFolder& folder, const std::string& name,
                            std::string& dir) {
    dir = (folder.path() / name).string() + "/";
    fs::create_directories(dir);
    const fs::path plugin = PELMIX_PLUGIN;
    fs::create_symlink(plugin, dir + "vog.arx");
    if (fs::exists(plugin.parent_path() / "vog.dcl"))
        fs::create_symlink(plugin.parent_path() / "vog.dcl", dir + "vog.dcl");
    folder.write(name + "/aVogLoader.lsp", shippedLoader());
    folder.setRegistry("HKCU\\SOFTWARE\\Quillmark\\VOG|Install_Dir|" + dir +
                       "\nHKCR\\.dwg||X\nHKCR\\X\\shell\\open\\command||acad.exe\n");
    // Two installations: two pairs of lines, the plug-in loaded once.
    EXPECT_EQ(folder.run().exitCode, 0);
    EXPECT_EQ(folder.run().exitCode, 0);

    const std::string command =
        std::string("'" PELMIX_CADHOST "' --plugin none '") + dir + "gocad.scr' -e '(vogvar)' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return "popen failed";
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << output;
    return output;
}

TEST(LoaderChain, ScriptLoadsTheLoaderWhichLoadsThePlugIn) {
    // A plain folder, and one whose name holds a double quote: the loader line and the
    // script stay valid LISP either way.
    for (const char* name : {"vog", "vo\"g"}) {
        SCOPED_TRACE(name);
        ScratchFolder folder;
        std::string dir;
        const std::string output = installAndStart(folder, name, dir);
        EXPECT_NE(output.find("VOG: loaded " + dir + "vog.arx"), std::string::npos) << output;
        EXPECT_NE(output.find("VOG: already loaded from " + dir + "vog.arx"), std::string::npos)
            << output;
        // The plug-in's own function answers: no project is open yet.
        EXPECT_NE(output.find("You must open a project first!"), std::string::npos) << output;
        EXPECT_EQ(output.find("error"), std::string::npos) << output;
    }
}
#endif

} // namespace
