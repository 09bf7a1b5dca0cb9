// What the stand-in host knows of the status-bar progress meter, for tests:
// the meter is drawn on standard error only when that is a terminal, so the
// state is the only way to see it otherwise.
#pragma once

#include <string>

namespace standin {

struct ProgressMeterState {
    bool shown = false; // between acedSetStatusBarProgressMeter and acedRestoreStatusBar
    std::wstring label; // of the latest meter
    int minPos = 0;
    int maxPos = 0;
    int pos = 0;      // latest position, kept within minPos..maxPos
    int meters = 0;   // meters started since the last reset
    int updates = 0;  // position calls since the last reset
    int restores = 0; // acedRestoreStatusBar calls since the last reset
};

const ProgressMeterState& progressMeter();
void resetProgressMeter();

} // namespace standin
