// The host's status-bar progress meter over one long step of the surface
// build (point preparation, the triangulation, fault lines, clipping): shown
// when the step starts, moved at most a few times a second however often the
// step reports, and taken away when the step ends by any way.
#pragma once

#include <chrono>
#include <cstddef>

namespace vog::surface {

class StepProgress {
  public:
    // Shows the meter with the label; total is the amount of work. The clock
    // is read every reportsPerClockRead reports: a few thousand for cheap
    // steps, 1 for steps that each take long.
    StepProgress(const wchar_t* label, std::size_t total, std::size_t reportsPerClockRead = 4096);
    ~StepProgress();
    StepProgress(const StepProgress&) = delete;
    StepProgress& operator=(const StepProgress&) = delete;

    // Reports that done of the total are finished.
    void advance(std::size_t done) {
        if (++reports_ % reportsPerClockRead_ == 0) move(done);
    }

  private:
    void move(std::size_t done);

    std::size_t total_;
    std::size_t reportsPerClockRead_;
    std::size_t reports_ = 0;
    int shown_ = 0;
    std::chrono::steady_clock::time_point lastMove_;
};

} // namespace vog::surface
