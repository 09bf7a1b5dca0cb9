#include "base/progress_steps.h"

#include <algorithm>

namespace vog {

namespace {

// The host takes int positions, so a step of more units than this is shown
// in proportion.
constexpr int kMeterRange = 1000;
constexpr auto kLeastInterval = std::chrono::milliseconds(250);

} // namespace

StepMeter::StepMeter(Progress& meter, const wchar_t* label, std::uint64_t total,
                     std::uint64_t reportsPerClockRead)
    : meter_(meter), total_(std::max<std::uint64_t>(total, 1)),
      reportsPerClockRead_(std::max<std::uint64_t>(1, reportsPerClockRead)),
      lastMove_(std::chrono::steady_clock::now()) {
    meter_.show(label, kMeterRange);
}

StepMeter::~StepMeter() {
    meter_.hide();
}

void StepMeter::move(std::uint64_t done) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastMove_ < kLeastInterval) return;
    lastMove_ = now;
    // In long double, so that a huge total neither overflows nor loses the
    // last steps.
    const long double share =
        static_cast<long double>(std::min(done, total_)) / static_cast<long double>(total_);
    const int pos = static_cast<int>(share * kMeterRange);
    if (pos == shown_) return;
    shown_ = pos;
    meter_.move(pos);
}

} // namespace vog
