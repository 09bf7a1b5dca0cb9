// The host's status-bar progress meter over one long step (contour levels,
// mesh lines, volume rows): shown when the step starts, moved at most a few
// times a second however often the step reports, taken away when it ends.
#pragma once

#include <chrono>

namespace vog::products {

class WorkProgress {
  public:
    // Shows the meter with the label over positions 0 to total.
    WorkProgress(const wchar_t* label, long long total);
    ~WorkProgress();
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;

    // Reports that done of the total are finished; the meter moves only when
    // a quarter of a second has passed since it last moved.
    void advance(long long done);

  private:
    long long total_;
    int shownPos_ = -1;
    std::chrono::steady_clock::time_point lastMove_;
};

} // namespace vog::products
