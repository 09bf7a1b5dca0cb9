// Runs cadhost as a user would, for end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace vogtest {

struct HostRun {
    int status = -1;
    std::string output; // standard output and standard error, in order
};

// Runs build/bin/cadhost with the arguments in the given folder.
HostRun runHost(const std::vector<std::string>& args, const std::string& folder = ".",
                const std::string& input = "");

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// A new empty folder under the system temporary folder, removed at exit.
std::string freshFolder(const std::string& name);

} // namespace vogtest
