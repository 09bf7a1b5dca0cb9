#pragma once
#include <string>

namespace pelmix {

// How a run ended: the process exit code (0 or 1) and, for a failed run, what went wrong,
// naming the key or file (shown nowhere by the Windows build, printed by the stand-in).
struct InstallOutcome {
    int exitCode = 0;
    std::string problem;
};

// The whole installation, in one pass through the platform layer: record the installation
// folder in the loader file, write the start-up script and, for an accepted CAD program
// and a Yes from the user, start it with that script.
InstallOutcome runInstaller();

} // namespace pelmix
