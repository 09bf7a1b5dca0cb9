#include "products/common/work_progress.h"

#include "host_api.h"

#include <algorithm>

namespace vog::products {

namespace {

// The meter's range: the host takes int positions, so a step of more units
// than this is shown in proportion.
constexpr int kMeterRange = 1000;
constexpr std::chrono::milliseconds kMoveInterval{250};

} // namespace

WorkProgress::WorkProgress(const wchar_t* label, long long total)
    : total_(std::max(total, 1LL)), lastMove_(std::chrono::steady_clock::now()) {
    acedSetStatusBarProgressMeter(label, 0, kMeterRange);
}

WorkProgress::~WorkProgress() {
    acedRestoreStatusBar();
}

void WorkProgress::advance(long long done) {
    auto now = std::chrono::steady_clock::now();
    if (now - lastMove_ < kMoveInterval) return;
    long long clamped = std::clamp(done, 0LL, total_);
    int pos = static_cast<int>(clamped * kMeterRange / total_);
    lastMove_ = now;
    if (pos == shownPos_) return;
    shownPos_ = pos;
    acedSetStatusBarProgressMeterPos(pos);
}

} // namespace vog::products
