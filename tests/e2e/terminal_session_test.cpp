// cadhost at a terminal, driven through a pseudo-terminal as a person types:
// line editing and history, the progress meter beside the command-line text.
// What the test checks is the screen: the output with its carriage returns,
// cursor moves and line erasing applied.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using vogtest::readFile;

constexpr int kColumns = 80;

// A terminal's screen, as much of it as cadhost and its line editor use:
// text, line feed, carriage return, backspace, tab, cursor moves (CSI A B C
// D), erasing (CSI K J); other sequences are read and ignored.
class Screen {
  public:
    void feed(const std::string& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(bytes[i]);
            if (c == 0x1b) {
                i = escape(bytes, i);
            } else if (c == '\r') {
                col_ = 0;
            } else if (c == '\n') {
                ++row_;
            } else if (c == '\b') {
                if (col_ > 0) --col_;
            } else if (c == '\t') {
                col_ = std::min(kColumns - 1, (col_ / 8 + 1) * 8);
            } else if (c >= 0x20 && c != 0x7f) {
                // A character of UTF-8 goes in one cell with its continuation bytes.
                std::string cell(1, static_cast<char>(c));
                while (i + 1 < bytes.size() &&
                       (static_cast<unsigned char>(bytes[i + 1]) & 0xC0) == 0x80)
                    cell += bytes[++i];
                put(cell);
            }
        }
    }

    // The screen's lines, trailing blanks removed.
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (const auto& cells : rows_) {
            std::string line;
            for (const auto& cell : cells)
                line += cell.empty() ? " " : cell;
            line.erase(line.find_last_not_of(' ') + 1);
            out.push_back(line);
        }
        return out;
    }

    std::string text() const {
        std::string out;
        for (const auto& line : lines())
            out += line + "\n";
        return out;
    }

  private:
    std::vector<std::string>& row() {
        if (rows_.size() <= static_cast<std::size_t>(row_)) rows_.resize(row_ + 1);
        auto& r = rows_[row_];
        if (r.size() < static_cast<std::size_t>(kColumns)) r.resize(kColumns);
        return r;
    }

    void put(const std::string& cell) {
        if (col_ >= kColumns) {
            col_ = 0;
            ++row_;
        }
        row()[col_++] = cell;
    }

    // Reads the escape sequence at bytes[i]; answers the index of its last byte.
    std::size_t escape(const std::string& bytes, std::size_t i) {
        if (i + 1 >= bytes.size()) return i;
        if (bytes[i + 1] != '[') return i + 1; // a two-byte sequence
        std::size_t j = i + 2;
        std::string params;
        while (j < bytes.size() && (std::isdigit(static_cast<unsigned char>(bytes[j])) ||
                                    bytes[j] == ';' || bytes[j] == '?'))
            params += bytes[j++];
        if (j >= bytes.size()) return j - 1;
        const int n =
            params.empty() || params[0] == '?' ? 1 : std::max(1, std::atoi(params.c_str()));
        switch (bytes[j]) {
        case 'A':
            row_ = std::max(0, row_ - n);
            break;
        case 'B':
            row_ += n;
            break;
        case 'C':
            col_ = std::min(kColumns - 1, col_ + n);
            break;
        case 'D':
            col_ = std::max(0, col_ - n);
            break;
        case 'K': {
            auto& r = row();
            const int mode = params.empty() ? 0 : std::atoi(params.c_str());
            for (int k = mode == 0 ? col_ : 0; k < (mode == 1 ? col_ + 1 : kColumns); ++k)
                r[k].clear();
            break;
        }
        case 'J': {
            auto& r = row();
            for (int k = col_; k < kColumns; ++k)
                r[k].clear();
            rows_.resize(row_ + 1);
            break;
        }
        default:
            break;
        }
        return j;
    }

    std::vector<std::vector<std::string>> rows_;
    int row_ = 0, col_ = 0;
};

// cadhost on the slave side of a pseudo-terminal of 80 columns.
class TerminalSession {
  public:
    TerminalSession(const std::vector<std::string>& args, const std::string& folder,
                    const std::string& home) {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = kColumns;
        pid_ = forkpty(&master_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            if (chdir(folder.c_str()) != 0) _exit(126);
            if (home.empty())
                unsetenv("HOME");
            else
                setenv("HOME", home.c_str(), 1);
            setenv("TERM", "vt100", 1);
            // Work files of its own, so that no other build makes it wait.
            setenv("TEMP", folder.c_str(), 1);
            std::vector<std::string> argv{std::string(VOG_BIN_DIR) + "/cadhost"};
            argv.insert(argv.end(), args.begin(), args.end());
            std::vector<char*> raw;
            for (auto& a : argv)
                raw.push_back(a.data());
            raw.push_back(nullptr);
            execv(raw[0], raw.data());
            _exit(127);
        }
    }
    ~TerminalSession() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
    }

    bool started() const { return pid_ > 0; }

    // Reads the output until it holds the text (counted from the read
    // position of the previous wait) or the time runs out.
    bool waitFor(const std::string& text, int seconds = 60) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        for (;;) {
            std::size_t found = raw_.find(text, mark_);
            if (found != std::string::npos) {
                mark_ = found + text.size();
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readSome(static_cast<int>(left.count()))) return false;
        }
    }

    // Waits for a prompt and for the line editor to take the keys one by one
    // (the terminal out of line mode): keys typed before that would be
    // echoed by the terminal, and may be dropped when the mode changes.
    bool waitForPrompt(const std::string& prompt, int seconds = 60) {
        if (!waitFor(prompt, seconds)) return false;
        for (int i = 0; i < 1000; ++i) {
            termios mode{};
            if (tcgetattr(master_, &mode) == 0 && !(mode.c_lflag & ICANON)) return true;
            usleep(10000);
        }
        return false;
    }

    void type(const std::string& keys) {
        ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Waits for the end of the program, at most a minute, and reads what is
    // left; -1 when it had to be stopped.
    int finish() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        int status = 0;
        for (;;) {
            while (readSome(100)) {
            }
            if (waitpid(pid_, &status, WNOHANG) == pid_) break;
            if (std::chrono::steady_clock::now() > end) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                ended_ = true;
                return -1;
            }
        }
        while (readSome(100)) {
        }
        ended_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string& raw() const { return raw_; }
    std::string screen() const {
        Screen s;
        s.feed(raw_);
        return s.text();
    }

  private:
    bool readSome(int milliseconds) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, milliseconds) <= 0) return false;
        char buffer[4096];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) return false; // the program has ended
        raw_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int master_ = -1;
    bool ended_ = false;
    std::string raw_;
    std::size_t mark_ = 0;
};

std::string lineOf(const std::string& screen, const std::string& start) {
    std::size_t at = screen.find("\n" + start);
    if (at == std::string::npos) return "";
    return screen.substr(at + 1, screen.find('\n', at + 1) - at - 1);
}

// Points on a slope, enough for the triangulation to show its meter.
void writeSurvey(const std::string& path) {
    std::ofstream out(path);
    for (int i = 0; i < 150; ++i)
        for (int j = 0; j < 150; ++j)
            out << i * 10 + (j % 7) * 0.3 << " " << j * 10 + (i % 5) * 0.4 << " "
                << 100 + i * 0.5 + (i * j % 11) * 0.1 << "\n";
}

TEST(TerminalSession, LinesAreEditedAndRecalledAndTheMeterKeepsClearOfText) {
#ifndef CADHOST_LINE_EDITING
    GTEST_SKIP() << "cadhost built without the editline library";
#endif
    const std::string dir = vogtest::freshFolder("e2e-terminal");
    const std::string home = dir + "/home";
    std::filesystem::create_directories(home);
    writeSurvey(dir + "/site.xyz");

    {
        TerminalSession host({}, dir, home);
        ASSERT_TRUE(host.started());
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        host.type("(+ 1 2)\r");
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        // Up arrow: the line comes back; two backspaces and "5)" edit it.
        host.type("\033[A");
        ASSERT_TRUE(host.waitFor("(+ 1 2)")) << host.raw();
        host.type("\b\b5)\r");
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        host.type("(lvogopen \"site.xyz\")\r");
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        host.type("(triangulate)\r");
        ASSERT_TRUE(host.waitForPrompt("ok or cancel: ")) << host.raw();
        host.type("ok\r");
        ASSERT_TRUE(host.waitForPrompt("Command: ", 120)) << host.raw();
        host.type("quit\r");
        EXPECT_EQ(host.finish(), 0) << host.raw();

        const std::string screen = host.screen();
        EXPECT_NE(screen.find("Command: (+ 1 2)\n3\nCommand: (+ 1 5)\n6\n"), std::string::npos)
            << screen;
        EXPECT_NE(host.raw().find("Creating Triangulation ["), std::string::npos)
            << "the meter was drawn";
        EXPECT_EQ(lineOf(screen, "Creating Triangulation"), "Creating Triangulation...Done")
            << screen;
        EXPECT_EQ(lineOf(screen, "Optimizing"), "Optimizing") << screen;
        EXPECT_EQ(screen.find("%"), std::string::npos) << "no meter left on the screen\n" << screen;
        EXPECT_NE(screen.find("Done\nCommand: quit\n"), std::string::npos) << screen;
    }

    // The history is kept in the home folder: a new session recalls the
    // last line of the one before.
    const std::string history = readFile(home + "/.cadhost_history");
    EXPECT_NE(history.find("triangulate"), std::string::npos) << history;
    {
        TerminalSession host({}, dir, home);
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        host.type("\033[A\033[A");
        ASSERT_TRUE(host.waitFor("(triangulate)")) << host.raw();
        host.type("\025(* 6 7)\r"); // Ctrl-U clears the recalled line
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        // The break key at the prompt drops an unfinished expression.
        host.type("(+ 1\r");
        ASSERT_TRUE(host.waitForPrompt("(_> ")) << host.raw();
        host.type("\003");
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        host.type("(- 9 2)\r");
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        host.type("\004");
        EXPECT_EQ(host.finish(), 0);
        EXPECT_NE(host.screen().find("Command: (* 6 7)\n42\n"), std::string::npos) << host.screen();
        EXPECT_NE(host.screen().find("Command: (+ 1\n(_>\nCommand: (- 9 2)\n7\n"),
                  std::string::npos)
            << host.screen();
    }
    EXPECT_NE(readFile(home + "/.cadhost_history").find("(*"), std::string::npos);

    // Without HOME, and for expressions given on the command line, nothing
    // is written.
    const std::string before = readFile(home + "/.cadhost_history");
    {
        TerminalSession host({}, dir, "");
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        host.type("(+ 2 2)\r");
        ASSERT_TRUE(host.waitForPrompt("Command: ")) << host.raw();
        host.type("\004");
        EXPECT_EQ(host.finish(), 0);
        EXPECT_NE(host.screen().find("Command: (+ 2 2)\n4\n"), std::string::npos) << host.screen();
    }
    {
        TerminalSession host({"-e", "(+ 3 3)"}, dir, home);
        EXPECT_EQ(host.finish(), 0);
        EXPECT_EQ(host.screen().find("Command:"), std::string::npos) << host.screen();
    }
    EXPECT_EQ(readFile(home + "/.cadhost_history"), before);
    EXPECT_FALSE(std::filesystem::exists(dir + "/.cadhost_history"));
}

} // namespace
