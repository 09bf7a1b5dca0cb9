// The status-bar progress meter. The stand-in has no status bar: the meter is
// drawn as one line on standard error, rewritten in place, and only when
// standard error is a terminal, so that scripts and transcripts stay as they
// are. Text the host prints clears the meter first and brings it back after,
// on a line of its own, so that neither is written over the other.
#include "host/internal.h"
#include "host/progress_meter.h"
#include "host/standin.h"
#include "host_api.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace standin {

namespace {

ProgressMeterState state;
bool drawn = false;
// The meter went on the line below unfinished text; erasing it goes back up.
bool below = false;
// Where the host's text output has left the cursor on its line, in columns.
int textColumn = 0;
// Not drawn while a person types an answer.
bool held = false;

bool drawing() {
    static const bool terminal = ::isatty(STDERR_FILENO) == 1;
    return terminal;
}

// The text output shares the meter's terminal: the meter must keep clear of it.
bool textOnTerminal() {
    static const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    return terminal;
}

int terminalWidth() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

// Percent of the range, 0 for an empty range.
int percent() {
    const long long span = static_cast<long long>(state.maxPos) - state.minPos;
    if (span <= 0) return 0;
    return static_cast<int>((static_cast<long long>(state.pos) - state.minPos) * 100 / span);
}

void put(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

// "LABEL [#####.........]  38%", narrowed to fit the terminal's width so that
// it never wraps onto a second line.
std::string meterText() {
    std::string label = toUtf8(state.label);
    const int width = terminalWidth() - 1;
    int bar = std::min(30, width - static_cast<int>(label.size()) - 8);
    if (bar < 5) {
        bar = 5;
        const int room = std::max(0, width - bar - 8);
        if (static_cast<int>(label.size()) > room) label.resize(static_cast<std::size_t>(room));
    }
    const int done = percent() * bar / 100;
    std::string text = label + " [";
    text.append(static_cast<std::size_t>(done), '#');
    text.append(static_cast<std::size_t>(bar - done), '.');
    char tail[16];
    std::snprintf(tail, sizeof tail, "] %3d%%", percent());
    return text + tail;
}

void draw() {
    if (!drawing() || held) return;
    std::string out;
    if (drawn) {
        out = "\r";
    } else if (textColumn > 0 && textOnTerminal()) {
        // Unfinished text keeps its line: the meter goes on the next one.
        out = "\n";
        below = true;
    } else {
        out = "\r";
    }
    out += meterText() + "\033[K";
    put(out);
    drawn = true;
}

void erase() {
    if (!drawn) return;
    // Clears the meter's line and puts the cursor back where the text stopped.
    std::string out = "\r\033[K";
    if (below) {
        out += "\033[A";
        const int column = textColumn % terminalWidth();
        if (column > 0) out += "\033[" + std::to_string(column) + "C";
        below = false;
    }
    put(out);
    drawn = false;
}

// Moves the text column over what was written: line ends and carriage
// returns go back to the start, tabs to the next stop of eight.
void advance(std::string_view written) {
    const std::wstring text = fromUtf8(written);
    for (wchar_t c : text) {
        if (c == L'\n' || c == L'\r')
            textColumn = 0;
        else if (c == L'\t')
            textColumn = (textColumn / 8 + 1) * 8;
        else if (c == L'\b')
            textColumn = std::max(0, textColumn - 1);
        else {
            const int w = ::wcwidth(c);
            textColumn += w < 0 ? 1 : w;
        }
    }
}

} // namespace

const ProgressMeterState& progressMeter() {
    return state;
}

void resetProgressMeter() {
    erase();
    state = {};
}

void hideProgressMeter() {
    erase();
}

void holdProgressMeter(bool hold) {
    held = hold;
    if (hold)
        erase();
    else if (state.shown)
        draw();
}

void showProgressMeter(std::string_view written) {
    advance(written);
    if (state.shown) draw();
}

} // namespace standin

int acedSetStatusBarProgressMeter(const ACHAR* label, int minPos, int maxPos) {
    using standin::state;
    if (maxPos < minPos) return -1;
    state.shown = true;
    state.label = label ? label : L"";
    state.minPos = minPos;
    state.maxPos = maxPos;
    state.pos = minPos;
    ++state.meters;
    standin::draw();
    return 0;
}

int acedSetStatusBarProgressMeterPos(int pos) {
    using standin::state;
    if (!state.shown) return -1;
    state.pos = std::clamp(pos, state.minPos, state.maxPos);
    ++state.updates;
    standin::draw();
    return 0;
}

void acedRestoreStatusBar() {
    standin::state.shown = false;
    ++standin::state.restores;
    standin::erase();
}
