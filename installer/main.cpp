// pelmix: wires the add-on's menus into the CAD program registered for drawing files.
// It takes no arguments; exit code 1 when a registry lookup or a file write fails, else 0.

#include "installer.h"

#include <cstdio>

int main() {
    const pelmix::InstallOutcome outcome = pelmix::runInstaller();
    if (!outcome.problem.empty()) std::fprintf(stderr, "pelmix: %s\n", outcome.problem.c_str());
    return outcome.exitCode;
}
