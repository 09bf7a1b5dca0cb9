// The platform layer for this platform: the registry is a text file named by
// PELMIX_REGISTRY (format in registry_file.h), the question is answered by PELMIX_ANSWER
// ("yes" or "no", default no), and the question and the program start are printed on
// standard output instead of shown and started. Files get their CR LF line ends written
// explicitly, so they hold the same bytes as the Windows build writes in text mode.

#include "platform.h"
#include "registry_file.h"
#include "text_file.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace pelmix {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::optional<RegistryText> loadRegistry() {
    const std::string path = environment("PELMIX_REGISTRY");
    if (path.empty()) {
        std::fprintf(stderr, "pelmix: PELMIX_REGISTRY names no registry file\n");
        return std::nullopt;
    }
    // A folder cannot be read (the read fails inside the stream) and a FIFO
    // would wait for a writer: either is a registry file that is not there.
    std::error_code ec;
    const bool regular = std::filesystem::is_regular_file(path, ec);
    std::ifstream in;
    if (regular) in.open(path, std::ios::binary);
    std::string content;
    if (in) content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!regular || !in.is_open() || in.bad()) {
        std::fprintf(stderr, "pelmix: cannot read registry file %s\n", path.c_str());
        return std::nullopt;
    }
    RegistryText registry = parseRegistryText(content);
    for (int line : registry.badLines)
        std::fprintf(stderr, "pelmix: %s:%d: not a HIVE\\key|value|data line, skipped\n",
                     path.c_str(), line);
    return registry;
}

std::string withCrLf(std::string_view text) {
    std::string converted;
    converted.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

} // namespace

std::optional<std::string> readRegistryString(Hive hive, const std::string& keyPath,
                                              const std::string& valueName) {
    const std::optional<RegistryText> registry = loadRegistry();
    if (!registry) return std::nullopt;
    const RegistryEntry* entry = findRegistryEntry(*registry, hive, keyPath, valueName);
    if (entry == nullptr || entry->data.size() + 1 > registryValueLimit) return std::nullopt;
    return entry->data;
}

bool writeTextFile(const std::string& path, std::string_view text, WriteMode mode) {
    TextFile file(path, mode == WriteMode::Append ? "ab" : "wb");
    if (!file.isOpen()) return false;
    file.write(withCrLf(text));
    return file.close();
}

bool askYesNo(const std::string& text, const std::string& caption) {
    std::string answer = environment("PELMIX_ANSWER");
    for (char& c : answer)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!answer.empty() && answer != "yes" && answer != "no")
        std::fprintf(stderr, "pelmix: PELMIX_ANSWER is neither yes nor no, answering no\n");
    const bool yes = answer == "yes";
    std::printf("[%s]\n%s\nanswer: %s\n", caption.c_str(), text.c_str(), yes ? "yes" : "no");
    std::fflush(stdout);
    return yes;
}

bool startProgram(const std::string& file, const std::string& parameters) {
    std::printf("start: %s%s\n", file.c_str(), parameters.c_str());
    std::fflush(stdout);
    return true;
}

} // namespace pelmix
