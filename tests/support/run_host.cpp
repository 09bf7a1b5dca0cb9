#include "support/run_host.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace vogtest {

std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

HostRun runHost(const std::vector<std::string>& args, const std::string& folder,
                const std::string& input) {
    std::string inputFile = freshFolder("stdin") + "/input";
    writeFile(inputFile, input);
    std::string command =
        "cd " + shellQuote(folder) + " && " + shellQuote(std::string(VOG_BIN_DIR) + "/cadhost");
    for (const auto& a : args)
        command += " " + shellQuote(a);
    command += " < " + shellQuote(inputFile);
    return runCommand(command);
}

HostRun runCommand(const std::string& command) {
    HostRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string freshFolder(const std::string& name) {
    static int counter = 0;
    auto base =
        std::filesystem::temp_directory_path() /
        ("vogtest-" + std::to_string(getpid()) + "-" + name + "-" + std::to_string(++counter));
    std::filesystem::remove_all(base);
    std::filesystem::create_directories(base);
    static std::vector<std::filesystem::path>* made = [] {
        auto* list = new std::vector<std::filesystem::path>;
        std::atexit([] {
            std::error_code ec;
            for (auto& p : *made)
                std::filesystem::remove_all(p, ec);
        });
        return list;
    }();
    made->push_back(base);
    return base.string();
}

ScratchFolder::ScratchFolder(const std::string& name) : dir_(freshFolder(name)) {
    std::filesystem::create_directories(dir_ + "/temp");
    if (const char* temp = std::getenv("TEMP")) {
        hadTemp_ = true;
        savedTemp_ = temp;
    }
    ::setenv("TEMP", (dir_ + "/temp").c_str(), 1);
}

ScratchFolder::~ScratchFolder() {
    if (hadTemp_)
        ::setenv("TEMP", savedTemp_.c_str(), 1);
    else
        ::unsetenv("TEMP");
}

} // namespace vogtest
