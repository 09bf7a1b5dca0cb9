#include "text_file.h"

namespace pelmix {

bool TextFile::write(std::string_view text) {
    if (file_ == nullptr) return false;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
    return !failed_;
}

bool TextFile::close() {
    if (file_ == nullptr) return opened_ && !failed_;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

} // namespace pelmix
