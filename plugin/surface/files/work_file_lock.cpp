#include "surface/files/work_file_lock.h"

#include "base/wide_text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vog::surface {

namespace {

// How often a waiting build looks at the lock and the break key.
constexpr std::chrono::milliseconds kPollInterval{100};

} // namespace

// The platform part: an advisory whole-file lock of the open file. It belongs
// to this open file, so two WorkFileLock objects of one process exclude each
// other just as two processes do.
WorkFileLock::WorkFileLock(const std::wstring& folder) {
    const std::filesystem::path file = filePath(folder) / "sortwk.lck";
    path_ = fromUtf8(file.string());
    // Only a plain file of its own name serves: a link (dangling or not) is
    // not followed, and a FIFO or device under the name is not kept open;
    // neither is waited on.
    handle_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    struct stat status;
    if (handle_ >= 0 && (::fstat(handle_, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(handle_);
        handle_ = -1;
    }
}

WorkFileLock::~WorkFileLock() {
    release();
    if (handle_ >= 0) ::close(handle_);
}

bool WorkFileLock::tryTake() {
    if (held_) return true;
    if (handle_ < 0) return false;
    held_ = ::flock(handle_, LOCK_EX | LOCK_NB) == 0;
    return held_;
}

void WorkFileLock::release() {
    if (!held_) return;
    ::flock(handle_, LOCK_UN);
    held_ = false;
}

Status lockWorkFiles(WorkFileLock& lock, const Seam& seam, std::chrono::milliseconds limit) {
    // Never unlocked: without the lock another build could mix its points
    // into this one's work files.
    if (!lock.isOpen()) {
        const std::wstring text =
            L"Could not lock the sort work files with " + lock.path() + L".  Command terminates.\n";
        seam.messages.alert(text);
        return Status::failed;
    }
    if (lock.tryTake()) return Status::ok;
    seam.messages.print(L"\nWaiting for another triangulation to finish...");
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (seam.cancellation.requested()) return Status::cancelled;
        if (std::chrono::steady_clock::now() >= giveUp) break;
        std::this_thread::sleep_for(kPollInterval);
        if (lock.tryTake()) return Status::ok;
    }
    const std::wstring text = L"Another triangulation is still using the sort work files (" +
                              lock.path() + L").  Command terminates.\n";
    seam.messages.alert(text);
    return Status::failed;
}

} // namespace vog::surface
