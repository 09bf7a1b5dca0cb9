// Two cadhost sessions triangulating at once on the same TEMP folder: the
// sort work files there have fixed names, so the second build must wait for
// the first, and each surface must be built from its own points only.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const char* kWaiting = "\nWaiting for another triangulation to finish...";

// A session started in the background with TEMP set, its output in a file.
struct Session {
    pid_t pid = -1;
    std::string output;

    int wait() {
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

Session startHost(const std::string& temp, const std::vector<std::string>& args,
                  const std::string& output) {
    Session session;
    session.output = output;
    const std::string host = std::string(VOG_BIN_DIR) + "/cadhost";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(host.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    session.pid = fork();
    if (session.pid == 0) {
        setenv("TEMP", temp.c_str(), 1);
        int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = open("/dev/null", O_RDONLY);
        if (out < 0 || in < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        execv(host.c_str(), argv.data());
        _exit(127);
    }
    return session;
}

// Holds the work-file lock of a TEMP folder the way any other process would.
struct LockHolder {
    int handle = -1;
    explicit LockHolder(const std::string& temp) {
        // Close-on-exec: a started session must not inherit (and so share) it.
        handle = open((temp + "/sortwk.lck").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (handle >= 0 && flock(handle, LOCK_EX | LOCK_NB) != 0) {
            close(handle);
            handle = -1;
        }
    }
    void release() {
        if (handle >= 0) close(handle);
        handle = -1;
    }
    ~LockHolder() { release(); }
};

bool waitForText(const std::string& file, const std::string& text, std::chrono::seconds limit) {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < giveUp) {
        if (vogtest::readFile(file).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

std::string points(unsigned seed, int count, double offset) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> plan(0, 1000);
    std::uniform_real_distribution<double> height(0, 50);
    std::string text;
    char line[128];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "%.6f %.6f %.6f\n", plan(random) + offset, plan(random),
                      height(random));
        text += line;
    }
    return text;
}

std::vector<std::string> triangulateArgs(const std::string& pointFile) {
    return {"-e", "(lvogopen \"" + pointFile + "\")", "-e", "(triangulate)"};
}

class TwoHosts : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = vogtest::freshFolder("two-hosts");
        temp = folder + "/temp";
        std::filesystem::create_directories(temp);
        // Two projects whose points lie apart, so a surface built from the
        // other's points (or a mix) cannot match its own.
        vogtest::writeFile(folder + "/east.xyz", points(1, 20000, 0));
        vogtest::writeFile(folder + "/west.xyz", points(2, 20000, 5000));
        for (const char* name : {"east", "west"}) {
            const std::string pointFile = folder + "/" + name + ".xyz";
            Session alone = startHost(temp, triangulateArgs(pointFile), folder + "/alone.out");
            ASSERT_EQ(alone.wait(), 0) << vogtest::readFile(folder + "/alone.out");
            const std::string tin = folder + "/" + name + ".tin";
            expected[name] = vogtest::readFile(tin);
            ASSERT_GT(expected[name].size(), 100000u);
            std::filesystem::remove(tin);
        }
    }

    std::string folder;
    std::string temp;
    std::map<std::string, std::string> expected;
};

TEST_F(TwoHosts, BothWaitWhileTheWorkFilesAreTakenAndEachBuildsItsOwnSurface) {
    LockHolder other(temp);
    ASSERT_GE(other.handle, 0);
    Session east = startHost(temp, triangulateArgs(folder + "/east.xyz"), folder + "/east.out");
    Session west = startHost(temp, triangulateArgs(folder + "/west.xyz"), folder + "/west.out");
    const bool eastWaits = waitForText(east.output, kWaiting, 30s);
    const bool westWaits = waitForText(west.output, kWaiting, 30s);
    // Neither may touch the work files while they are taken.
    EXPECT_FALSE(std::filesystem::exists(temp + "/sortwk1.txt"));
    EXPECT_FALSE(std::filesystem::exists(temp + "/sortwk2.txt"));
    other.release();
    EXPECT_EQ(east.wait(), 0);
    EXPECT_EQ(west.wait(), 0);
    EXPECT_TRUE(eastWaits) << vogtest::readFile(east.output);
    EXPECT_TRUE(westWaits) << vogtest::readFile(west.output);
    for (const char* name : {"east", "west"}) {
        const std::string out = vogtest::readFile(folder + "/" + name + ".out");
        EXPECT_NE(out.find("Creating Triangulation...Done"), std::string::npos) << out;
        EXPECT_EQ(out.find("[alert]"), std::string::npos) << out;
        EXPECT_TRUE(vogtest::readFile(folder + "/" + name + ".tin") == expected[name])
            << name << ".tin is not the surface of its own points";
    }
    // The work files are gone and the lock is free again.
    EXPECT_FALSE(std::filesystem::exists(temp + "/sortwk1.txt"));
    EXPECT_FALSE(std::filesystem::exists(temp + "/sortwk2.txt"));
    LockHolder after(temp);
    EXPECT_GE(after.handle, 0);
}

TEST_F(TwoHosts, SessionsStartedTogetherNeverMixTheirPoints) {
    // No outside holder: whichever starts first builds, the other waits or
    // comes after; repeated so that the builds overlap at least once.
    for (int round = 0; round < 3; ++round) {
        Session east = startHost(temp, triangulateArgs(folder + "/east.xyz"), folder + "/east.out");
        Session west = startHost(temp, triangulateArgs(folder + "/west.xyz"), folder + "/west.out");
        EXPECT_EQ(east.wait(), 0);
        EXPECT_EQ(west.wait(), 0);
        for (const char* name : {"east", "west"}) {
            EXPECT_TRUE(vogtest::readFile(folder + "/" + name + ".tin") == expected[name])
                << "round " << round << ": " << name << ".tin is not built from its own points\n"
                << vogtest::readFile(folder + "/" + name + ".out");
        }
    }
}

TEST_F(TwoHosts, ASessionKilledMidBuildFreesTheWorkFilesForTheNext) {
    // The lock goes with the process however it ends, and the work files it
    // leaves behind are rewritten, not read, by the next build.
    vogtest::writeFile(folder + "/big.xyz", points(3, 400000, 0));
    Session killed = startHost(temp, triangulateArgs(folder + "/big.xyz"), folder + "/big.out");
    ASSERT_TRUE(waitForText(killed.output, "Optimizing", 60s)) << vogtest::readFile(killed.output);
    kill(killed.pid, SIGKILL);
    killed.wait();
    Session next = startHost(temp, triangulateArgs(folder + "/west.xyz"), folder + "/next.out");
    EXPECT_EQ(next.wait(), 0);
    const std::string out = vogtest::readFile(folder + "/next.out");
    EXPECT_EQ(out.find(kWaiting), std::string::npos) << out;
    EXPECT_TRUE(vogtest::readFile(folder + "/west.tin") == expected["west"]) << out;
}

} // namespace
