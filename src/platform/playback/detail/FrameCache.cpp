#include "platform/playback/detail/FrameCache.h"

#include <algorithm>
#include <utility>

namespace vexel::playback::detail {

FrameCache::FrameCache(std::size_t maxBytes)
    : maxBytes_(maxBytes) {}

void FrameCache::touch(Entry& entry) {
    uses_.splice(uses_.begin(), uses_, entry.use);
}

void FrameCache::erase(std::map<std::int64_t, Entry>::iterator entry) {
    bytes_ -= entry->second.bytes;
    uses_.erase(entry->second.use);
    entries_.erase(entry);
}

std::optional<media::VideoFrame> FrameCache::find(std::int64_t n) {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(n);
    if (found == entries_.end()) {
        return std::nullopt;
    }
    touch(found->second);
    return found->second.frame;
}

bool FrameCache::contains(std::int64_t n) const {
    std::lock_guard lock(mutex_);
    return entries_.count(n) > 0;
}

std::optional<media::VideoFrame> FrameCache::nearest(std::int64_t n, std::int64_t low,
                                                     std::int64_t high) {
    std::lock_guard lock(mutex_);
    auto after = entries_.lower_bound(std::max(n, low));
    auto best = entries_.end();
    if (after != entries_.end() && after->first <= high) {
        best = after;
    }
    auto before = entries_.upper_bound(std::min(n, high));
    if (before != entries_.begin()) {
        --before;
        if (before->first >= low &&
            (best == entries_.end() || n - before->first <= best->first - n)) {
            best = before;
        }
    }
    if (best == entries_.end()) {
        return std::nullopt;
    }
    touch(best->second);
    return best->second.frame;
}

void FrameCache::insert(std::int64_t n, media::VideoFrame frame) {
    const std::size_t size = frame.buffer.isNull() ? 0 : frame.buffer.byteCount();
    std::lock_guard lock(mutex_);
    if (auto kept = entries_.find(n); kept != entries_.end()) {
        erase(kept);
    }
    if (size > maxBytes_) {
        return;
    }
    while (bytes_ + size > maxBytes_ && !uses_.empty()) {
        erase(entries_.find(uses_.back()));
    }
    uses_.push_front(n);
    entries_.emplace(n, Entry{std::move(frame), size, uses_.begin()});
    bytes_ += size;
}

void FrameCache::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    uses_.clear();
    bytes_ = 0;
}

std::size_t FrameCache::bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

std::size_t FrameCache::count() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

} // namespace vexel::playback::detail
