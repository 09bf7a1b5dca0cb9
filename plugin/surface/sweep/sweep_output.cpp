#include "surface/sweep/sweep_output.h"

#include "surface/files/number_text.h"

#include <string_view>
#include <system_error>
#include <utility>

namespace vog::surface {

namespace {

// Blocks of about this many bytes go to the file at once.
constexpr std::size_t kBlock = 1 << 20;

} // namespace

SweepOutput::SweepOutput(std::ostream& out, const std::vector<Point3>& vertices,
                         const std::vector<std::uint32_t>& keys,
                         const std::array<std::uint32_t, 3>& dropKeys)
    : out_(out), vertices_(vertices), keys_(keys), dropKeys_(dropKeys) {
    block_.reserve(kBlock + 512);
    try {
        thread_ = std::thread(&SweepOutput::run, this);
    } catch (const std::system_error&) {
        // No thread to be had: the batches are written as they come.
        prepareTexts();
    }
}

SweepOutput::~SweepOutput() {
    if (!stopped_) stop(true);
}

void SweepOutput::prepareTexts() {
    starts_.reserve(vertices_.size() + 1);
    // Appends the number's text and, for a vertex that can be written,
    // checks that a copy would keep the text.
    bool check = true;
    auto append = [&](double value) {
        const std::size_t from = texts_.size();
        appendFixed6(texts_, value);
        if (check && !isFixed6Text(std::string_view(texts_).substr(from))) writtenForm_ = false;
    };
    for (std::size_t i = 0; i < vertices_.size(); ++i) {
        const Point3& v = vertices_[i];
        check = !isDropped(keys_[i]);
        starts_.push_back(texts_.size());
        append(v.x);
        texts_ += ' ';
        append(v.y);
        texts_ += ' ';
        append(v.z);
    }
    starts_.push_back(texts_.size());
}

void SweepOutput::writeBatch(const std::vector<CornerNumbers>& triangles) {
    for (const CornerNumbers& t : triangles) {
        if (isDropped(keys_[t[0]]) || isDropped(keys_[t[1]]) || isDropped(keys_[t[2]])) continue;
        for (int k = 0; k < 3; ++k) {
            block_.append(texts_, starts_[t[k]], starts_[t[k] + 1] - starts_[t[k]]);
            block_ += k < 2 ? ' ' : '\n';
        }
        if (block_.size() >= kBlock) flushBlock();
    }
}

void SweepOutput::flushBlock() {
    out_.write(block_.data(), static_cast<std::streamsize>(block_.size()));
    block_.clear();
}

void SweepOutput::run() {
    try {
        prepareTexts();
    } catch (...) {
        failed_ = true;
    }
    for (;;) {
        std::vector<CornerNumbers> batch;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return abandoning_ || closing_ || !queue_.empty(); });
            if (abandoning_) return;
            if (queue_.empty()) break;
            batch = std::move(queue_.front());
            queue_.pop_front();
        }
        if (!failed_) {
            try {
                writeBatch(batch);
            } catch (...) {
                failed_ = true;
            }
        }
        batch.clear();
        std::lock_guard lock(mutex_);
        spare_.push_back(std::move(batch));
    }
    if (!failed_) flushBlock();
}

void SweepOutput::write(std::vector<CornerNumbers>& triangles) {
    if (!thread_.joinable()) {
        if (!stopped_ && !failed_) {
            try {
                writeBatch(triangles);
            } catch (...) {
                failed_ = true;
            }
        }
        triangles.clear();
        return;
    }
    std::vector<CornerNumbers> next;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(triangles));
        if (!spare_.empty()) {
            next = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    changed_.notify_one();
    triangles = std::move(next);
}

void SweepOutput::stop(bool abandoning) {
    {
        std::lock_guard lock(mutex_);
        (abandoning ? abandoning_ : closing_) = true;
    }
    changed_.notify_one();
    if (thread_.joinable())
        thread_.join();
    else if (!abandoning && !failed_)
        flushBlock();
    stopped_ = true;
}

bool SweepOutput::finish() {
    if (!stopped_) stop(false);
    if (failed_ || !out_) writtenForm_ = false;
    return !failed_ && static_cast<bool>(out_);
}

void SweepOutput::abandon() {
    if (!stopped_) stop(true);
}

} // namespace vog::surface
