// A step's Status as the host's result code, at the command edge.
#pragma once

#include "base/status.h"
#include "host_api.h"

namespace vog::app {

constexpr int toHostResult(Status status) {
    switch (status) {
    case Status::ok:
        return RTNORM;
    case Status::cancelled:
        return RTCAN;
    case Status::failed:
        break;
    }
    return RTERROR;
}

} // namespace vog::app
