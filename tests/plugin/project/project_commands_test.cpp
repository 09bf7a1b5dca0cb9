// lvogopen, vogset and vogvar.
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "app/host_seam.h"
#include "project/settings_file.h"

#include <filesystem>

namespace {

using vog::project::setting;

class ProjectCommandsTest : public vogtest::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        folder = vogtest::freshFolder("commands");
    }
    std::wstring path(const std::string& name) { return standin::fromUtf8(folder + "/" + name); }
    std::string folder;
};

TEST_F(ProjectCommandsTest, VogvarListsTheEighteenPairsInOrder) {
    call(L"lvogopen", {path("site.dat")});
    std::vector<std::wstring> expected = {L"dpoints",   path("site.dat"),
                                          L"dfaults",   L"",
                                          L"dbndry",    L"",
                                          L"uelev",     L"0",
                                          L"ufaults",   L"0",
                                          L"ubound",    L"0",
                                          L"dimfaults", L"3",
                                          L"dcw",       L"0",
                                          L"diw",       L"0",
                                          L"dci",       L"1",
                                          L"dii",       L"5",
                                          L"dcln",      L"KT_Regcontours",
                                          L"diln",      L"KT_Indxcontours",
                                          L"dxi",       L"1",
                                          L"dzi",       L"1",
                                          L"dbe",       L"0",
                                          L"dsk",       L"0",
                                          L"dmln",      L"KT_Mesh"};
    EXPECT_EQ(strings(call(L"vogvar")), expected);
}

TEST_F(ProjectCommandsTest, VogsetChangesOnlyTheSettableKeysInMemory) {
    call(L"lvogopen", {path("site.dat")});
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::ok);
    std::string saved = vogtest::readFile(folder + "/site.set");

    call(L"vogset", {L"dci", L"2.5"});
    auto list = strings(call(L"vogvar"));
    EXPECT_EQ(list[18], L"dci");
    EXPECT_EQ(list[19], L"2.5");
    EXPECT_EQ(vogtest::readFile(folder + "/site.set"), saved) << "not written until the next save";

    call(L"vogset", {L"dpoints", L"x"});
    call(L"vogset", {L"DCI", L"3"});
    call(L"vogset", {L"dcround", L"1"});
    EXPECT_EQ(setting(L"dpoints"), path("site.dat"));
    EXPECT_EQ(setting(L"dci"), L"2.5");
    EXPECT_EQ(setting(L"dcround"), L"0");

    for (const wchar_t* key :
         {L"uelev", L"dfaults", L"dbndry", L"ufaults", L"ubound", L"dimfaults", L"dcw", L"diw",
          L"dii", L"dcln", L"diln", L"dxi", L"dzi", L"dbe", L"dsk", L"dmln"}) {
        call(L"vogset", {key, L"v"});
        EXPECT_EQ(setting(vog::project::SettingKey::find(key).value()), L"v")
            << standin::toUtf8(key);
    }
}

TEST_F(ProjectCommandsTest, WithoutAProjectVogsetAndVogvarRefuse) {
    call(L"vogset", {L"dci", L"2"});
    EXPECT_EQ(call(L"vogvar").kind, standin::CallResult::Nil);
    EXPECT_EQ(standin::alerts(), (std::vector<std::wstring>{L"You must open a project first!",
                                                            L"You must open a project first!"}));
    EXPECT_EQ(setting(L"dci"), L"");
}

TEST_F(ProjectCommandsTest, MissingOrWrongArgumentsAreRefusedWithUsage) {
    call(L"lvogopen");
    EXPECT_FALSE(vog::project::isProjectOpen());
    call(L"lvogopen", {path("site.dat")});
    standin::clearAlerts();
    call(L"vogset", {L"dci"});
    EXPECT_EQ(setting(L"dci"), L"1");
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_EQ(standin::alerts()[0], L"Usage: (vogset \"key\" \"value\")");

    // A number where a string belongs.
    resbuf* args = acutBuildList(RTSTR, L"dci", RTSHORT, 3, RTNONE);
    standin::CallResult result;
    standin::callExternal(L"vogset", args, result);
    acutRelRb(args);
    EXPECT_EQ(setting(L"dci"), L"1");
    EXPECT_EQ(standin::alerts().back(), L"Usage: (vogset \"key\" \"value\")");
}

TEST_F(ProjectCommandsTest, OpeningAnotherProjectSavesTheOldOneFirst) {
    call(L"lvogopen", {path("a.dat")});
    call(L"vogset", {L"dci", L"7"});
    call(L"lvogopen", {path("b.dat")});
    EXPECT_TRUE(std::filesystem::exists(folder + "/a.set"));
    EXPECT_EQ(setting(L"dpoints"), path("b.dat"));
    EXPECT_EQ(setting(L"dci"), L"1") << "b has no settings file: defaults";
    call(L"lvogopen", {path("a.dat")});
    EXPECT_EQ(setting(L"dci"), L"7");
}

TEST_F(ProjectCommandsTest, PointFileWithoutExtensionIsRefused) {
    // Nor does a "." in a folder name make one: the settings and surface
    // would be named beside and over another project's.
    for (const std::string name : {"points", "survey.2023/points"}) {
        standin::clearAlerts();
        call(L"lvogopen", {path(name)});
        EXPECT_FALSE(vog::project::isProjectOpen());
        ASSERT_EQ(standin::alerts().size(), 1u);
        EXPECT_EQ(standin::alerts()[0], L"Point file name has no extension: " + path(name));
        EXPECT_EQ(setting(L"dpoints"), L"");
    }
    EXPECT_FALSE(std::filesystem::exists(folder + "/survey.set"));

    // A point file named like one of its own project files would have the
    // settings or the surface written over its points.
    for (const std::string name : {"site.set", "site.tin", "site.ttin", "site.ftin"}) {
        vogtest::writeFile(folder + "/" + name, "1 2 3\n");
        standin::clearAlerts();
        call(L"lvogopen", {path(name)});
        EXPECT_FALSE(vog::project::isProjectOpen()) << name;
        EXPECT_EQ(standin::alerts(),
                  std::vector<std::wstring>{
                      L"Point file name has the extension of a project file: " + path(name)});
        EXPECT_EQ(vogtest::readFile(folder + "/" + name), "1 2 3\n");
    }
}

// A line end in a path or value would split its line of the settings file,
// and what follows would be read back as a setting of its own.
TEST_F(ProjectCommandsTest, ControlCharactersAreRefusedInPathsAndValues) {
    call(L"lvogopen", {path("a\ndfaults=/etc/x.dat")});
    EXPECT_FALSE(vog::project::isProjectOpen());
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_EQ(standin::alerts()[0],
              L"Point file path holds a control character: " + path("a?dfaults=/etc/x.dat"));

    call(L"lvogopen", {path("a.dat")});
    standin::clearAlerts();
    call(L"vogset", {L"dfaults", L"/x/f.flt\ndbndry=/etc/passwd"});
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_EQ(standin::alerts()[0],
              L"Value of dfaults holds a control character: /x/f.flt?dbndry=/etc/passwd");
    EXPECT_EQ(setting(L"dfaults"), L"");
    call(L"vogset", {L"dcln", L"A\tB"});
    EXPECT_EQ(setting(L"dcln"), L"KT_Regcontours");
    call(L"vogset", {L"dfaults", L"/x/f.flt"});
    EXPECT_EQ(setting(L"dfaults"), L"/x/f.flt");
}

} // namespace
