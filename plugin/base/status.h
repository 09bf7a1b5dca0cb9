// How a step of the plug-in ended. Inside the plug-in every step answers a
// Status; the command edge turns it into the host's result codes
// (app/host_result.h), so no algorithm deals in those numbers.
#pragma once

namespace vog {

enum class [[nodiscard]] Status{
    ok,        // the step did its work
    failed,    // the step stopped after telling the user why
    cancelled, // the user pressed the break key; the step stopped cleanly
};

} // namespace vog
