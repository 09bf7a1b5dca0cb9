#include "pelmix_run.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>

namespace pelmix::testing {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "pelmix-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void ScratchFolder::setRegistry(const std::string& lines) const {
    write("registry.txt", lines);
}

RunResult ScratchFolder::run(const std::string& answer) const {
    // The scratch path comes from mkdtemp and holds no quotes.
    std::string command = "cd '" + path_.string() + "' && env -u PELMIX_ANSWER";
    if (!answer.empty()) command += " PELMIX_ANSWER=" + answer;
    command += " PELMIX_REGISTRY=registry.txt '" PELMIX_BIN "' 2>errors.txt";

    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("cannot start " PELMIX_BIN);
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.errors = read("errors.txt");
    fs::remove(path_ / "errors.txt");
    return result;
}

bool ScratchFolder::exists(const std::string& name) const {
    return fs::exists(path_ / name);
}

std::string ScratchFolder::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ScratchFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + (path_ / name).string());
}

} // namespace pelmix::testing
