// The sort work files have fixed names in the TEMP folder, so two CAD
// sessions triangulating at once would mix each other's points. An exclusive
// lock on a lock file beside them ("sortwk.lck") keeps one build at a time
// per TEMP folder; a second build waits for the first to finish.
#pragma once

#include "base/seam.h"
#include "base/status.h"

#include <chrono>
#include <string>

namespace vog::surface {

// An open lock file and whether this process holds its exclusive lock. The
// lock goes with the object: destroying it releases the lock, and so does the
// end of the process, however it ends.
class WorkFileLock {
  public:
    // Opens (creating it when missing) the lock file in the folder; a name
    // that is not a plain file is not opened.
    explicit WorkFileLock(const std::wstring& folder);
    ~WorkFileLock();
    WorkFileLock(const WorkFileLock&) = delete;
    WorkFileLock& operator=(const WorkFileLock&) = delete;

    bool isOpen() const { return handle_ >= 0; }
    bool isHeld() const { return held_; }
    const std::wstring& path() const { return path_; }

    // Takes the lock when no one else holds it; never waits. True when held.
    bool tryTake();
    void release();

  private:
    std::wstring path_;
    int handle_ = -1;
    bool held_ = false;
};

// How long a build waits for another one before giving up.
constexpr std::chrono::seconds kWorkFileLockWait{60};

// Takes the lock for a build, waiting while another build holds it: prints
// "\nWaiting for another triangulation to finish..." once, polls the break
// key, and gives up with an alert after the limit. Status::ok when held;
// failed after the limit, or at once, after the alert "Could not lock the
// sort work files with <lock file>.  Command terminates.\n", when the lock
// file cannot be opened (its name held by a folder, a link, a FIFO or a file
// without write permission, or a TEMP folder that does not exist); cancelled
// after a break.
Status lockWorkFiles(WorkFileLock& lock, const Seam& seam,
                     std::chrono::milliseconds limit = kWorkFileLockWait);

} // namespace vog::surface
