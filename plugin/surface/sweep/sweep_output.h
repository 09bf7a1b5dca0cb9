// The writing of the raw triangle file while the sweep goes on. The sweep
// hands on its retired triangles as corner numbers, a batch at a time; a
// thread of its own drops those with a corner of the enclosing triangle,
// formats the rest as triangle records and writes them in large blocks, in
// the order handed on. The sweep meanwhile keeps one core to itself. The
// host is never called from that thread.
#pragma once

#include "geometry/geometry.h"
#include "surface/sweep/sweep_front.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace vog::surface {

class SweepOutput {
  public:
    // vertices: the points then the corners of the enclosing triangle;
    // keys: equal numbers exactly for vertices with equal coordinates. A
    // triangle with a corner whose key is one of dropKeys is not written.
    // out stays the writer's until finish() or abandon() returns.
    SweepOutput(std::ostream& out, const std::vector<Point3>& vertices,
                const std::vector<std::uint32_t>& keys,
                const std::array<std::uint32_t, 3>& dropKeys);
    // Abandons what is not yet written.
    ~SweepOutput();
    SweepOutput(const SweepOutput&) = delete;
    SweepOutput& operator=(const SweepOutput&) = delete;

    // Hands on the triangles, to be written after those handed on before;
    // leaves triangles empty, ready for the next batch.
    void write(std::vector<CornerNumbers>& triangles);

    // Waits until everything handed on is written; false when a write
    // failed.
    bool finish();

    // Stops the writing, whatever is left unwritten, and waits for it.
    void abandon();

    // After finish(): every number of every vertex that can be written is
    // in the form a copy of the file writes again unchanged (isFixed6Text),
    // so the file is what a copy of it gives.
    bool writtenForm() const { return writtenForm_; }

  private:
    // A vertex with this key is never written.
    bool isDropped(std::uint32_t key) const {
        return key == dropKeys_[0] || key == dropKeys_[1] || key == dropKeys_[2];
    }
    void run();
    void prepareTexts();
    void writeBatch(const std::vector<CornerNumbers>& triangles);
    void flushBlock();
    void stop(bool abandoning);

    std::ostream& out_;
    const std::vector<Point3>& vertices_;
    const std::vector<std::uint32_t>& keys_;
    std::array<std::uint32_t, 3> dropKeys_;

    // Each vertex's text "x y z", made once.
    std::string texts_;
    std::vector<std::uint64_t> starts_;
    std::string block_;
    bool failed_ = false;
    bool writtenForm_ = true;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<CornerNumbers>> queue_;
    std::vector<std::vector<CornerNumbers>> spare_; // written batches, for reuse
    bool closing_ = false;
    bool abandoning_ = false;
    bool stopped_ = false;
    std::thread thread_; // not joinable when the batches are written as they come
};

} // namespace vog::surface
