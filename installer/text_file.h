#pragma once
// An owned C stream: closed on every path out, with the result of the close available to
// callers that must know whether the buffered text reached the disk.

#include <cstdio>
#include <string>
#include <string_view>

namespace pelmix {

class TextFile {
  public:
    TextFile(const std::string& path, const char* mode)
        : file_(std::fopen(path.c_str(), mode)), opened_(file_ != nullptr) {}
    ~TextFile() { close(); }
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // Writes all of `text`; false on a short write.
    bool write(std::string_view text);

    // Flushes and closes (once; later calls repeat the result); false when the stream was
    // never open or any write or the close failed.
    bool close();

  private:
    std::FILE* file_;
    bool opened_;
    bool failed_ = false;
};

} // namespace pelmix
