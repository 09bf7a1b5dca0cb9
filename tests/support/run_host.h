// Runs cadhost as a user would, for end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace vogtest {

struct HostRun {
    int status = -1;
    std::string output; // standard output and standard error, in order
};

// Runs a shell command line, standard error merged into standard output.
HostRun runCommand(const std::string& command);

// The text as one word of a shell command line.
std::string shellQuote(const std::string& s);

// Runs build/bin/cadhost with the arguments in the given folder.
HostRun runHost(const std::vector<std::string>& args, const std::string& folder = ".",
                const std::string& input = "");

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// A new empty folder under the system temporary folder, removed at exit.
std::string freshFolder(const std::string& name);

// A fresh folder with a "temp" folder inside it that TEMP names while the
// object lives, so that the hosts a test starts keep their work files to
// themselves; TEMP is put back as it was.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return dir_; }

  private:
    std::string dir_;
    std::string savedTemp_;
    bool hadTemp_ = false;
};

} // namespace vogtest
