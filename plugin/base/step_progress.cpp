#include "base/step_progress.h"

#include "host_api.h"

#include <algorithm>

namespace vog::surface {

namespace {

constexpr int kMeterEnd = 100;
constexpr auto kLeastInterval = std::chrono::milliseconds(250);

} // namespace

StepProgress::StepProgress(const wchar_t* label, std::size_t total, std::size_t reportsPerClockRead)
    : total_(total), reportsPerClockRead_(std::max<std::size_t>(1, reportsPerClockRead)),
      lastMove_(std::chrono::steady_clock::now()) {
    acedSetStatusBarProgressMeter(label, 0, kMeterEnd);
}

StepProgress::~StepProgress() {
    acedRestoreStatusBar();
}

void StepProgress::move(std::size_t done) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastMove_ < kLeastInterval || total_ == 0) return;
    const int pos = static_cast<int>(static_cast<double>(std::min(done, total_)) /
                                     static_cast<double>(total_) * kMeterEnd);
    if (pos == shown_) return;
    shown_ = pos;
    lastMove_ = now;
    acedSetStatusBarProgressMeterPos(pos);
}

} // namespace vog::surface
