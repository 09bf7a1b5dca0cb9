// vogopen: opening a project through the "vogopen" dialog of vog.dcl, as a
// script or a person answers it.
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "base/unicode_text.h"
#include "dcl/dialogs.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using vog::project::isProjectOpen;
using vog::project::setting;

class VogopenDialog : public vogtest::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        folder = vogtest::freshFolder("vogopen");
        vogtest::writeFile(folder + "/a.dat", "1 2 3\n");
        vogtest::writeFile(folder + "/b.dat", "4 5 6\n");
    }
    void TearDown() override {
        standin::setInteractive(false);
        PluginTest::TearDown();
    }

    std::wstring path(const std::string& name) { return standin::fromUtf8(folder + "/" + name); }
    static void answer(std::vector<std::pair<std::wstring, std::wstring>> values,
                       const wchar_t* press) {
        standin::queueDialogAnswer(L"vogopen", {std::move(values), press});
    }
    // The dialog drawn at the terminal while a person types these lines.
    std::string typed(const std::string& lines) {
        standin::setInteractive(true);
        std::istringstream input(lines);
        standin::setTerminalInput(&input);
        capture.clear();
        call(L"vogopen");
        standin::setTerminalInput(nullptr);
        standin::setInteractive(false);
        return capture.text();
    }
    std::wstring settingsFile(const std::string& name) {
        return vog::project::decodeUnicodeText(vogtest::readFile(folder + "/" + name));
    }

    std::string folder;
};

TEST_F(VogopenDialog, AScriptOpensTheProjectNamedInTheDialog) {
    answer({{L"point_file", path("a.dat")}}, L"accept");
    standin::CallResult result = call(L"vogopen");
    EXPECT_EQ(result.kind, standin::CallResult::Void);
    EXPECT_TRUE(isProjectOpen());
    EXPECT_EQ(setting(L"dpoints"), path("a.dat"));
    EXPECT_EQ(setting(L"dcln"), L"KT_Regcontours");
    EXPECT_EQ(standin::alerts(),
              std::vector<std::wstring>{L"Settings file not found.  Creating settings file."});
    EXPECT_EQ(standin::loadedDialogFiles(), 0u);
}

TEST_F(VogopenDialog, TheDialogStartsWithTheCurrentPointFile) {
    call(L"lvogopen", {path("a.dat")});
    std::string out = typed("cancel\n");
    EXPECT_NE(out.find("=== Open Project ===\n"), std::string::npos) << out;
    EXPECT_NE(out.find("File: [point_file]: " + folder + "/a.dat\n"), std::string::npos) << out;
    EXPECT_NE(out.find("<Browse...> [pfbrowse]"), std::string::npos) << out;
}

TEST_F(VogopenDialog, AnUnknownFileIsComplainedAboutAndTheFieldEmptied) {
    std::string out = typed("point_file=" + folder + "/nope.dat\nok\ncancel\n");
    EXPECT_NE(out.find("File: [point_file]: \n"), std::string::npos) << out;
    EXPECT_NE(out.find("error: File does not exist.\n"), std::string::npos) << out;
    EXPECT_FALSE(isProjectOpen()) << "OK was refused while the complaint showed";

    // A folder is not a point file either.
    out = typed("point_file=" + folder + "\ncancel\n");
    EXPECT_NE(out.find("error: File does not exist.\n"), std::string::npos) << out;

    // Scripted: the refused OK ends in a cancel and the project stays closed.
    answer({{L"point_file", path("nope.dat")}}, L"accept");
    capture.clear();
    call(L"vogopen");
    EXPECT_NE(capture.text().find("; dialog vogopen still open after scripted answers: cancelled"),
              std::string::npos);
    EXPECT_FALSE(isProjectOpen());
    EXPECT_TRUE(standin::alerts().empty());
}

// A FIFO would keep the check waiting for a writer; a path with a line end
// would split its line of the settings file, even when such a file exists;
// a point file named like its own surface would be written over.
TEST_F(VogopenDialog, AFifoAPathWithALineEndOrAProjectFileIsNoPointFile) {
    const std::string fifo = folder + "/fifo.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string odd = folder + "/a\nb.dat";
    vogtest::writeFile(odd, "1 2 3\n");
    const std::string surface = folder + "/a.tin";
    vogtest::writeFile(surface, "1 2 3\n");
    for (const std::string& name : {fifo, odd, surface}) {
        SCOPED_TRACE(name);
        std::thread writer([&] {
            std::this_thread::sleep_for(std::chrono::seconds(2));
            const int handle = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (handle >= 0) ::close(handle);
        });
        const auto started = std::chrono::steady_clock::now();
        answer({{L"point_file", standin::fromUtf8(name)}}, L"accept");
        call(L"vogopen");
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
        writer.join();
        EXPECT_FALSE(isProjectOpen());
        EXPECT_EQ(setting(L"dpoints"), L"");
    }
}

TEST_F(VogopenDialog, CorrectingTheFieldClearsTheComplaint) {
    answer({{L"point_file", path("nope.dat")}, {L"point_file", path("b.dat")}}, L"accept");
    call(L"vogopen");
    EXPECT_EQ(setting(L"dpoints"), path("b.dat"));
}

TEST_F(VogopenDialog, AcceptingAnEmptyFieldBehavesLikeCancel) {
    answer({{L"point_file", L""}}, L"accept");
    capture.clear();
    call(L"vogopen");
    EXPECT_FALSE(isProjectOpen());
    EXPECT_EQ(capture.text().find("still open"), std::string::npos) << "the dialog closed";

    call(L"lvogopen", {path("a.dat")});
    standin::clearAlerts();
    answer({{L"point_file", L""}}, L"accept");
    call(L"vogopen");
    EXPECT_EQ(setting(L"dpoints"), path("a.dat"));
    EXPECT_TRUE(standin::alerts().empty()) << "nothing was loaded";
}

TEST_F(VogopenDialog, OpeningAnotherProjectSavesTheOpenOneFirstEvenWhenCancelled) {
    call(L"lvogopen", {path("a.dat")});
    call(L"vogset", {L"dci", L"2.5"});
    ASSERT_FALSE(std::filesystem::exists(folder + "/a.set"));

    answer({{L"point_file", path("b.dat")}}, L"cancel");
    call(L"vogopen");
    EXPECT_NE(settingsFile("a.set").find(L"\ndci=2.5\n"), std::wstring::npos);
    EXPECT_EQ(setting(L"dpoints"), path("a.dat"));
    EXPECT_EQ(setting(L"dci"), L"2.5") << "the old project stays open";

    call(L"vogset", {L"dci", L"4"});
    answer({{L"point_file", path("b.dat")}}, L"accept");
    call(L"vogopen");
    EXPECT_NE(settingsFile("a.set").find(L"\ndci=4\n"), std::wstring::npos);
    EXPECT_EQ(setting(L"dpoints"), path("b.dat"));
    EXPECT_EQ(setting(L"dci"), L"1") << "b's defaults";
}

TEST_F(VogopenDialog, BrowsingFillsTheFieldAndMarksTheProjectOpen) {
    standin::queueFileAnswer(path("a.dat"));
    answer({{L"pfbrowse", L""}}, L"cancel");
    call(L"vogopen");
    EXPECT_TRUE(isProjectOpen()) << "marked open by the browse";
    EXPECT_EQ(setting(L"dpoints"), L"") << "but not chosen";

    standin::queueFileAnswer(path("b.dat"));
    answer({{L"pfbrowse", L""}}, L"accept");
    call(L"vogopen");
    EXPECT_EQ(setting(L"dpoints"), path("b.dat"));
    EXPECT_EQ(setting(L"dxi"), L"1");
}

TEST_F(VogopenDialog, ABrowsedFileIsCheckedAndACancelledBrowseChangesNothing) {
    standin::queueFileAnswer(std::nullopt);
    answer({{L"pfbrowse", L""}}, L"accept");
    call(L"vogopen");
    EXPECT_FALSE(isProjectOpen()) << "accept with the empty field";

    standin::queueFileAnswer(path("nope.dat"));
    std::string out = typed("pfbrowse\nok\ncancel\n");
    EXPECT_NE(out.find("error: File does not exist.\n"), std::string::npos) << out;
    EXPECT_EQ(setting(L"dpoints"), L"");
}

TEST_F(VogopenDialog, APointFileWithoutExtensionIsRefusedInTheDialog) {
    vogtest::writeFile(folder + "/points", "1 2 3\n");
    ASSERT_EQ(folder.find('.'), std::string::npos) << "the test folder's name has no full stop";
    call(L"lvogopen", {path("a.dat")});
    std::string out = typed("point_file=" + folder + "/points\nok\ncancel\n");
    EXPECT_NE(out.find("error: Point file name has no extension.\n"), std::string::npos) << out;
    EXPECT_EQ(setting(L"dpoints"), path("a.dat")) << "the open project is kept";
}

} // namespace
