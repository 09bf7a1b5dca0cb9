#pragma once
// Runs the stand-in build of pelmix in a scratch folder of its own. The folder is the
// working directory of the run, so an installation folder such as C:\Vog\ names files
// like "C:\Vog\aVogLoader.lsp" inside it, the same names the Windows build uses.

#include <filesystem>
#include <string>

namespace pelmix::testing {

struct RunResult {
    int exitCode = -1;
    std::string output; // standard output: the question and the program start
    std::string errors; // standard error: the reason of a failed run
};

class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // The stand-in registry for the next run.
    void setRegistry(const std::string& lines) const;

    // Runs pelmix with PELMIX_ANSWER set to `answer` (unset when empty).
    RunResult run(const std::string& answer = "") const;

    bool exists(const std::string& name) const;
    // The bytes of file `name` in the folder; "<missing>" when there is none.
    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

  private:
    std::filesystem::path path_;
};

} // namespace pelmix::testing
