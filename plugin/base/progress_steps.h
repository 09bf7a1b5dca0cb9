// The progress meter over one long step (point preparation, the
// triangulation, fault lines, clipping, contour levels, mesh lines, volume
// columns): shown when the step starts, moved at most four times a second
// however often the step reports, and taken away when the step ends by any
// way. The meter runs over positions 0 to 1000; a step of no work shows a
// full meter once it reports.
#pragma once

#include "base/seam.h"

#include <chrono>
#include <cstdint>

namespace vog {

class StepMeter {
  public:
    // Shows the meter with the label; total is the amount of work. The clock
    // is read every reportsPerClockRead reports: a few thousand for cheap
    // steps, 1 for steps that each take long.
    StepMeter(Progress& meter, const wchar_t* label, std::uint64_t total,
              std::uint64_t reportsPerClockRead = 1);
    ~StepMeter();
    StepMeter(const StepMeter&) = delete;
    StepMeter& operator=(const StepMeter&) = delete;

    // Reports that done of the total are finished.
    void advance(std::uint64_t done) {
        if (++reports_ % reportsPerClockRead_ == 0) move(done);
    }

  private:
    void move(std::uint64_t done);

    Progress& meter_;
    std::uint64_t total_;
    std::uint64_t reportsPerClockRead_;
    std::uint64_t reports_ = 0;
    int shown_ = -1;
    std::chrono::steady_clock::time_point lastMove_;
};

} // namespace vog
