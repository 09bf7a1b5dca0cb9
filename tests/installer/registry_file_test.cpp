#include "registry_file.h"

#include <gtest/gtest.h>

namespace {

using namespace pelmix;

std::string lookUp(const RegistryText& registry, Hive hive, const char* key, const char* value) {
    const RegistryEntry* entry = findRegistryEntry(registry, hive, key, value);
    return entry == nullptr ? "<none>" : entry->data;
}

TEST(RegistryFile, LinesHiveKeyValueAndData) {
    const RegistryText registry = parseRegistryText(
        "# set up for a test\r\n"
        "HKEY_CURRENT_USER\\SOFTWARE\\Quillmark\\VOG|Install_Dir|C:\\Vog\\\r\n"
        "\n"
        "HKCR\\.dwg||Drawing.1\n"
        "HKEY_CLASSES_ROOT\\Drawing.1\\shell\\open\\command||\"C:\\CAD\\acad.exe\" /p a|b\n"
        "HKCR\\.dwg||Drawing.2");
    EXPECT_TRUE(registry.badLines.empty());
    EXPECT_EQ(lookUp(registry, Hive::CurrentUser, "SOFTWARE\\Quillmark\\VOG", "Install_Dir"),
              "C:\\Vog\\");
    // Case is ignored in names, the later line wins, data keeps its bars.
    EXPECT_EQ(lookUp(registry, Hive::CurrentUser, "software\\quillmark\\vog", "INSTALL_DIR"),
              "C:\\Vog\\");
    EXPECT_EQ(lookUp(registry, Hive::ClassesRoot, ".DWG", ""), "Drawing.2");
    EXPECT_EQ(lookUp(registry, Hive::ClassesRoot, "Drawing.1\\shell\\open\\command", ""),
              "\"C:\\CAD\\acad.exe\" /p a|b");
    // The hive and the value name both have to match.
    EXPECT_EQ(lookUp(registry, Hive::CurrentUser, ".dwg", ""), "<none>");
    EXPECT_EQ(lookUp(registry, Hive::ClassesRoot, ".dwg", "Content Type"), "<none>");
}

TEST(RegistryFile, MalformedLinesAreCountedNotGuessed) {
    const RegistryText registry = parseRegistryText("HKCU\\Key|Value\n"
                                                    "HKLM\\Key|Value|x\n"
                                                    "HKCU|Value|x\n"
                                                    "HKCU\\|Value|x\n"
                                                    "HKCU\\Key|Value|\n");
    EXPECT_EQ(registry.badLines, (std::vector<int>{1, 2, 3, 4}));
    ASSERT_EQ(registry.entries.size(), 1u);
    EXPECT_EQ(lookUp(registry, Hive::CurrentUser, "Key", "Value"), "");
}

} // namespace
