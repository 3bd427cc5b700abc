#pragma once

// Frames the player has shown, by their index on the item's frame grid, so
// that going back over them shows them at once. Bounded in bytes: the frame
// used least recently goes first. Thread-safe. Internal to the player.

#include "platform/media/VideoFrame.h"

#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <optional>

namespace vexel::playback::detail {

class FrameCache {
public:
    explicit FrameCache(std::size_t maxBytes);

    FrameCache(const FrameCache&) = delete;
    FrameCache& operator=(const FrameCache&) = delete;

    // Frame n, now the most recently used.
    std::optional<media::VideoFrame> find(std::int64_t n);
    bool contains(std::int64_t n) const;
    // The kept frame nearest to n among those from `low` to `high` (the
    // earlier of two as near), now the most recently used.
    std::optional<media::VideoFrame> nearest(std::int64_t n, std::int64_t low, std::int64_t high);

    // Keeps frame n, replacing what was kept for it, and lets the least
    // recently used go until the bound holds again. A frame larger than the
    // whole bound is not kept.
    void insert(std::int64_t n, media::VideoFrame frame);
    void clear();

    std::size_t maxBytes() const { return maxBytes_; }
    std::size_t bytes() const;
    std::size_t count() const;

private:
    struct Entry {
        media::VideoFrame frame;
        std::size_t bytes = 0;
        std::list<std::int64_t>::iterator use;
    };

    void touch(Entry& entry);
    void erase(std::map<std::int64_t, Entry>::iterator entry);

    const std::size_t maxBytes_;
    mutable std::mutex mutex_;
    std::map<std::int64_t, Entry> entries_;
    // Most recently used first.
    std::list<std::int64_t> uses_;
    std::size_t bytes_ = 0;
};

} // namespace vexel::playback::detail
