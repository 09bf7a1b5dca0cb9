// The status-bar progress meter. The stand-in has no status bar: the meter is
// drawn as one line on standard error, rewritten in place, and only when
// standard error is a terminal, so that scripts and transcripts stay as they
// are.
#include "host/host_api.h"
#include "progress_meter.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace standin {

namespace {

ProgressMeterState state;
bool drawn = false;

bool drawing() {
    static const bool terminal = ::isatty(STDERR_FILENO) == 1;
    return terminal;
}

// Percent of the range, 0 for an empty range.
int percent() {
    const long long span = static_cast<long long>(state.maxPos) - state.minPos;
    if (span <= 0) return 0;
    return static_cast<int>((static_cast<long long>(state.pos) - state.minPos) * 100 / span);
}

void draw() {
    if (!drawing()) return;
    constexpr int kWidth = 30;
    const int done = percent() * kWidth / 100;
    std::string bar(static_cast<std::size_t>(done), '#');
    bar.append(static_cast<std::size_t>(kWidth - done), '.');
    std::fprintf(stderr, "\r%ls [%s] %3d%%", state.label.c_str(), bar.c_str(), percent());
    std::fflush(stderr);
    drawn = true;
}

void erase() {
    if (!drawn) return;
    // Clears the meter's line and leaves the cursor at its start.
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn = false;
}

} // namespace

const ProgressMeterState& progressMeter() {
    return state;
}

void resetProgressMeter() {
    erase();
    state = {};
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
