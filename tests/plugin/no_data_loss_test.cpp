// Every file the plug-in replaces (the surface ".tin", the settings file,
// the profile file, the exchange-file note) is written beside it and renamed
// into place. A write that fails (a read-only folder, something in the way
// of the temporary name, a target that is a directory, a full disk) leaves
// the previous file byte for byte and no temporary file behind.
#include "plugin/hostile_files.h"

#include "app/commands.h"
#include "base/file_replace.h"
#include "host/standin.h"
#include "products/common/edge_exchange.h"
#include "project/settings_file.h"
#include "support/run_host.h"

#include "app/host_seam.h"
#include "dcl/dialogs.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using vogtest::readFile;
using vogtest::writeFile;

// A disk that is full after the first bytes of any file: the process may not
// make a file longer than that while this lives.
class FullDisk {
  public:
    explicit FullDisk(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

// Without write permission on its folder nothing can be made there, except
// for root, whom permissions do not stop.
bool permissionsApply() {
    return geteuid() != 0;
}

// The ways a replacement can fail, made for a target path.
enum class Failure { DirectoryInTheWay, TargetIsADirectory, FullDisk, ReadOnlyFolder };

const char* name(Failure f) {
    switch (f) {
    case Failure::DirectoryInTheWay:
        return "a directory in the way of the temporary name";
    case Failure::TargetIsADirectory:
        return "the target is a directory";
    case Failure::FullDisk:
        return "a full disk";
    case Failure::ReadOnlyFolder:
        return "a read-only folder";
    }
    return "";
}

// What can be simulated whoever runs the tests; a read-only folder has tests
// of its own, skipped for root.
constexpr Failure kFailures[] = {Failure::DirectoryInTheWay, Failure::TargetIsADirectory,
                                 Failure::FullDisk};

#define SKIP_WHEN_ROOT()                                                                           \
    if (!permissionsApply())                                                                       \
    GTEST_SKIP() << "running as root: a read-only folder is writable for root; the other "         \
                    "failures (something in the way, a directory as target, a full disk) "         \
                    "are tested without it"

// Leaves nothing behind in the folder but what was there.
std::set<std::string> folderNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(NoDataLoss, AReplacementThatFailsKeepsTheOldFile) {
    const std::string big(64 * 1024, 'n');
    for (Failure failure : kFailures) {
        const std::string folder = vogtest::freshFolder("replace");
        const std::string target = folder + "/site.set";
        if (failure == Failure::TargetIsADirectory) {
            fs::create_directory(target);
            writeFile(target + "/inside", "old");
        } else {
            writeFile(target, "old contents\n");
        }
        if (failure == Failure::DirectoryInTheWay) fs::create_directory(target + ".tmp");
        const auto before = folderNames(folder);
        bool replaced;
        {
            std::optional<FullDisk> full;
            if (failure == Failure::FullDisk) full.emplace(1000);
            replaced = vog::replaceFile(standin::fromUtf8(target), big);
        }
        fs::permissions(folder, fs::perms::owner_all);
        EXPECT_FALSE(replaced) << name(failure);
        if (failure == Failure::TargetIsADirectory)
            EXPECT_EQ(readFile(target + "/inside"), "old") << name(failure);
        else
            EXPECT_EQ(readFile(target), "old contents\n") << name(failure);
        EXPECT_EQ(folderNames(folder), before) << name(failure);
    }
}

TEST(NoDataLoss, AReadOnlyFolderKeepsTheOldFile) {
    SKIP_WHEN_ROOT();
    const std::string folder = vogtest::freshFolder("replace-read-only");
    writeFile(folder + "/site.set", "old contents\n");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const bool replaced = vog::replaceFile(standin::fromUtf8(folder + "/site.set"), "new\n");
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(readFile(folder + "/site.set"), "old contents\n");
    EXPECT_EQ(folderNames(folder), std::set<std::string>{"site.set"});
}

TEST(NoDataLoss, ALinkUnderTheTemporaryNameIsReplacedNotWrittenThrough) {
    const std::string folder = vogtest::freshFolder("replace-link");
    writeFile(folder + "/other.txt", "someone else's file\n");
    writeFile(folder + "/site.set", "old\n");
    fs::create_symlink(folder + "/other.txt", folder + "/site.set.tmp");
    ASSERT_TRUE(vog::replaceFile(standin::fromUtf8(folder + "/site.set"), "new\n"));
    EXPECT_EQ(readFile(folder + "/site.set"), "new\n");
    EXPECT_EQ(readFile(folder + "/other.txt"), "someone else's file\n");
    EXPECT_FALSE(fs::is_symlink(folder + "/site.set"));
    EXPECT_FALSE(fs::exists(folder + "/site.set.tmp"));
}

TEST(NoDataLoss, TheExchangeFileNoteAndTheProfileUseTheSameReplacement) {
    // The note replaces the exchange file after it has been read; when that
    // fails the edges stay for the next try.
    const std::string folder = vogtest::freshFolder("note");
    const std::string exchange = folder + "/kttin.asc";
    writeFile(exchange, "0 0 0 1 1 1\n");
    fs::create_directory(exchange + ".tmp");
    EXPECT_FALSE(vog::products::replaceWithNote(standin::fromUtf8(exchange)));
    EXPECT_EQ(readFile(exchange), "0 0 0 1 1 1\n");
    fs::remove(exchange + ".tmp");
    {
        FullDisk full(10);
        EXPECT_FALSE(vog::products::replaceWithNote(standin::fromUtf8(exchange)));
    }
    EXPECT_EQ(readFile(exchange), "0 0 0 1 1 1\n");
    EXPECT_FALSE(fs::exists(exchange + ".tmp"));
    EXPECT_TRUE(vog::products::replaceWithNote(standin::fromUtf8(exchange)));
    EXPECT_EQ(readFile(exchange), vog::products::kExchangeNote);
}

class NoDataLossProject : public vogtest::HostileProjectTest {
  protected:
    int triangulate() {
        standin::queueDialogAnswer(L"triangulate", {});
        std::chrono::steady_clock::duration took{};
        return runCommand(vog::triangulateCommand, took);
    }
};

TEST_F(NoDataLossProject, TheSettingsFileSurvivesEveryFailedSave) {
    const std::string settings = savedSettings.value();
    for (Failure failure : kFailures) {
        if (failure == Failure::TargetIsADirectory) continue; // the project's own file exists
        if (failure == Failure::DirectoryInTheWay) fs::create_directory(path("site.set.tmp"));
        vog::project::setSetting(L"dci", L"2.5");
        vog::Status saved;
        {
            std::optional<FullDisk> full;
            if (failure == Failure::FullDisk) full.emplace(100);
            saved = vog::project::saveSettings(vog::app::hostSeam().messages);
        }
        fs::permissions(folder, fs::perms::owner_all);
        fs::remove(path("site.set.tmp"));
        EXPECT_EQ(saved, vog::Status::failed) << name(failure);
        EXPECT_NE(capture.text().find("Could not write settings file"), std::string::npos)
            << name(failure);
        EXPECT_EQ(contents("site.set"), settings) << name(failure);
        capture.clear();
    }
    // And a save that can be made is made.
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::ok);
    EXPECT_NE(contents("site.set"), settings);
}

TEST_F(NoDataLossProject, TheSurfaceSurvivesEveryFailedBuild) {
    for (Failure failure : kFailures) {
        if (failure == Failure::DirectoryInTheWay) {
            fs::create_directory(path("site.tin.tmp"));
            write("site.tin.tmp/keep", "x");
        }
        if (failure == Failure::TargetIsADirectory) {
            fs::remove(path("site.tin"));
            fs::create_directory(path("site.tin"));
            write("site.tin/inside", "old");
        }
        const auto before = folderNames(folder);
        int result;
        {
            // The points and sorted points are small; the surface is not.
            std::optional<FullDisk> full;
            if (failure == Failure::FullDisk) full.emplace(600);
            result = triangulate();
        }
        fs::permissions(folder, fs::perms::owner_all);
        EXPECT_EQ(result, RTERROR) << name(failure);
        EXPECT_FALSE(lastAlert().empty()) << name(failure) << ": failed without a message";
        if (failure == Failure::TargetIsADirectory) {
            EXPECT_EQ(readFile(path("site.tin/inside")), "old");
            fs::remove_all(path("site.tin"));
            write("site.tin", savedSurface.value());
        } else {
            EXPECT_TRUE(projectFilesUnchanged()) << name(failure);
        }
        EXPECT_EQ(folderNames(folder), before) << name(failure) << ": files left behind";
        fs::remove_all(path("site.tin.tmp"));
    }
}

TEST_F(NoDataLossProject, ABreakDuringTheBuildKeepsTheOldSurface) {
    // The break key at the first, second, ... poll of the build.
    for (int poll = 1; poll <= 6; ++poll) {
        standin::queueDialogAnswer(L"triangulate", {});
        standin::clearAlerts();
        standin::breakAfterPolls(poll);
        const int result = vog::triangulateCommand();
        standin::breakAfterPolls(0);
        if (result == RTNORM) {
            // The build polled fewer times than that: it is complete.
            EXPECT_NE(contents("site.tin"), savedSurface);
            break;
        }
        EXPECT_EQ(result, RTCAN) << "break at poll " << poll;
        EXPECT_TRUE(projectFilesUnchanged()) << "break at poll " << poll;
        EXPECT_FALSE(fs::exists(path("site.ttin"))) << "break at poll " << poll;
        EXPECT_FALSE(fs::exists(path("site.tin.tmp"))) << "break at poll " << poll;
    }
}

TEST_F(NoDataLossProject, AReadOnlyProjectFolderKeepsSurfaceAndSettings) {
    SKIP_WHEN_ROOT();
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    vog::project::setSetting(L"dci", L"2.5");
    const vog::Status saved = vog::project::saveSettings(vog::app::hostSeam().messages);
    const int built = triangulate();
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(saved, vog::Status::failed);
    EXPECT_EQ(built, RTERROR);
    EXPECT_FALSE(lastAlert().empty());
    EXPECT_TRUE(projectFilesUnchanged());
}

TEST_F(NoDataLossProject, LinksUnderTheBuildsFixedNamesAreNotWrittenThrough) {
    // Another user's links in a shared TEMP folder, or beside the surface,
    // must not let the build overwrite the files they point to.
    write("victim.txt", "keep me\n");
    fs::create_symlink(path("victim.txt"), path("temp/sortwk1.txt"));
    fs::create_symlink(path("victim.txt"), path("temp/sortwk2.txt"));
    fs::create_symlink(path("victim.txt"), path("site.tin.tmp"));
    EXPECT_EQ(triangulate(), RTNORM) << standin::toUtf8(lastAlert());
    EXPECT_EQ(readFile(path("victim.txt")), "keep me\n");
    EXPECT_NE(contents("site.tin"), savedSurface);
    EXPECT_FALSE(fs::exists(path("site.tin.tmp")));
}

} // namespace
