// The seam implemented with the host's operations: alerts and command-line
// output, the status-bar progress meter and the break key. The commands hand
// hostSeam() to the steps they run.
#pragma once

#include "base/seam.h"

namespace vog::app {

class HostMessages final : public Messages {
  public:
    void alert(const std::wstring& text) override;
    void print(const std::wstring& text) override;
};

class HostProgress final : public Progress {
  public:
    void show(const std::wstring& label, int range) override;
    void move(int position) override;
    void hide() override;
};

class HostCancellation final : public Cancellation {
  public:
    bool requested() override;
};

// The host's seam; the same for every command.
const Seam& hostSeam();

} // namespace vog::app
