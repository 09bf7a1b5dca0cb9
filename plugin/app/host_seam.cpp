#include "app/host_seam.h"

#include "host_api.h"

namespace vog::app {

void HostMessages::alert(const std::wstring& text) {
    acedAlert(text.c_str());
}

// The text goes out as it stands: it is never a format.
void HostMessages::print(const std::wstring& text) {
    acutPrintf(L"%ls", text.c_str());
}

void HostProgress::show(const std::wstring& label, int range) {
    acedSetStatusBarProgressMeter(label.c_str(), 0, range);
}

void HostProgress::move(int position) {
    acedSetStatusBarProgressMeterPos(position);
}

void HostProgress::hide() {
    acedRestoreStatusBar();
}

bool HostCancellation::requested() {
    return acedUsrBrk() != 0;
}

const Seam& hostSeam() {
    static HostMessages messages;
    static HostProgress progress;
    static HostCancellation cancellation;
    static const Seam seam{messages, progress, cancellation};
    return seam;
}

} // namespace vog::app
