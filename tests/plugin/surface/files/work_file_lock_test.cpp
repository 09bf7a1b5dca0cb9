// The lock on the sort work files: one holder per TEMP folder, a waiting
// build that says so, gives up after its limit and stops on the break key.
#include "app/host_seam.h"
#include "plugin/surface/surface_test_support.h"
#include "surface/files/sort_work_files.h"
#include "surface/files/work_file_lock.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vog::surface::testing {
namespace {

using namespace std::chrono_literals;

class WorkFileLockTest : public SurfaceFixture {
  protected:
    std::wstring temp() const { return widePath(tempDir()); }
};

TEST_F(WorkFileLockTest, OneHolderPerFolderUntilReleasedOrDestroyed) {
    WorkFileLock first(temp());
    auto second = std::make_unique<WorkFileLock>(temp());
    ASSERT_TRUE(first.isOpen());
    ASSERT_TRUE(second->isOpen());
    EXPECT_EQ(first.path(), widePath(tempDir() / "sortwk.lck"));

    EXPECT_TRUE(first.tryTake());
    EXPECT_TRUE(first.tryTake()) << "taking a held lock again keeps it";
    EXPECT_FALSE(second->tryTake());
    first.release();
    EXPECT_TRUE(second->tryTake());
    EXPECT_FALSE(first.tryTake());
    {
        WorkFileLock third(temp());
        EXPECT_FALSE(third.tryTake());
    }
    second.reset();
    EXPECT_TRUE(first.tryTake()) << "destroying the holder releases the lock";

    // Another folder has its own lock.
    std::filesystem::create_directories(dir() / "other");
    WorkFileLock elsewhere(widePath(dir() / "other"));
    EXPECT_TRUE(elsewhere.tryTake());
}

TEST_F(WorkFileLockTest, AFreeLockIsTakenAtOnceWithoutAMessage) {
    standin::OutputCapture capture;
    WorkFileLock lock(temp());
    EXPECT_EQ(lockWorkFiles(lock, app::hostSeam(), 0ms), Status::ok);
    EXPECT_TRUE(lock.isHeld());
    EXPECT_EQ(capture.text(), "");
    EXPECT_TRUE(alerts().empty());
}

TEST_F(WorkFileLockTest, AWaitingBuildSaysSoAndGivesUpAfterItsLimit) {
    WorkFileLock holder(temp());
    ASSERT_TRUE(holder.tryTake());
    standin::OutputCapture capture;
    WorkFileLock lock(temp());
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(lockWorkFiles(lock, app::hostSeam(), 400ms), Status::failed);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, 400ms);
    EXPECT_LT(waited, 3s);
    EXPECT_FALSE(lock.isHeld());
    EXPECT_TRUE(capture.text().starts_with("\nWaiting for another triangulation to finish...\n"))
        << capture.text();
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], L"Another triangulation is still using the sort work files (" +
                               widePath(tempDir() / "sortwk.lck") + L").  Command terminates.\n");
    EXPECT_TRUE(holder.isHeld());
}

TEST_F(WorkFileLockTest, AWaitingBuildTakesTheLockOnceItIsReleased) {
    auto holder = std::make_unique<WorkFileLock>(temp());
    ASSERT_TRUE(holder->tryTake());
    // The holder lets go a moment after the wait has begun.
    standin::OutputCapture capture;
    WorkFileLock lock(temp());
    std::thread releaser([&] {
        std::this_thread::sleep_for(300ms);
        holder.reset();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(lockWorkFiles(lock, app::hostSeam(), 10s), Status::ok);
    const auto waited = std::chrono::steady_clock::now() - started;
    releaser.join();
    EXPECT_TRUE(lock.isHeld());
    EXPECT_GE(waited, 300ms);
    EXPECT_LT(waited, 3s);
    EXPECT_EQ(capture.text(), "\nWaiting for another triangulation to finish...");
    EXPECT_TRUE(alerts().empty());
}

TEST_F(WorkFileLockTest, TheBreakKeyStopsTheWait) {
    WorkFileLock holder(temp());
    ASSERT_TRUE(holder.tryTake());
    WorkFileLock lock(temp());
    standin::OutputCapture capture;
    standin::breakAfterPolls(3);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(lockWorkFiles(lock, app::hostSeam(), 60s), Status::cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_FALSE(lock.isHeld());
    EXPECT_TRUE(alerts().empty());
}

// The lock never fails open: whatever holds its name, the build stops with
// an alert naming the lock file, and goes on unlocked never.
TEST_F(WorkFileLockTest, ALockFileThatCannotBeOpenedStopsTheBuild) {
    const auto lockFile = tempDir() / "sortwk.lck";
    const std::wstring expected = L"Could not lock the sort work files with " + widePath(lockFile) +
                                  L".  Command terminates.\n";
    auto expectRefused = [&](const std::wstring& folder, const std::wstring& alert) {
        standin::clearAlerts();
        WorkFileLock lock(folder);
        EXPECT_FALSE(lock.isOpen());
        EXPECT_EQ(lockWorkFiles(lock, app::hostSeam(), 0ms), Status::failed);
        EXPECT_EQ(alerts(), std::vector<std::wstring>{alert});
    };
    {
        SCOPED_TRACE("a folder");
        std::filesystem::create_directory(lockFile);
        expectRefused(temp(), expected);
        std::filesystem::remove(lockFile);
    }
    {
        SCOPED_TRACE("a dangling link, which would create its target");
        std::filesystem::create_symlink(dir() / "target.lck", lockFile);
        expectRefused(temp(), expected);
        EXPECT_FALSE(std::filesystem::exists(dir() / "target.lck"));
        std::filesystem::remove(lockFile);
    }
    {
        SCOPED_TRACE("a FIFO");
        ASSERT_EQ(::mkfifo(lockFile.c_str(), 0600), 0);
        expectRefused(temp(), expected);
        std::filesystem::remove(lockFile);
    }
    {
        SCOPED_TRACE("a TEMP folder that does not exist");
        expectRefused(widePath(dir() / "missing"), L"Could not lock the sort work files with " +
                                                       widePath(dir() / "missing" / "sortwk.lck") +
                                                       L".  Command terminates.\n");
    }
    if (::geteuid() != 0) {
        SCOPED_TRACE("another user's file without write permission");
        testing::writeText(lockFile, "");
        std::filesystem::permissions(lockFile, std::filesystem::perms::owner_read);
        expectRefused(temp(), expected);
        std::filesystem::permissions(lockFile, std::filesystem::perms::owner_all);
        std::filesystem::remove(lockFile);
    }
}

} // namespace
} // namespace vog::surface::testing
