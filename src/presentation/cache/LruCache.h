#pragma once

#include <cstddef>
#include <functional>
#include <iterator>
#include <list>
#include <optional>
#include <unordered_map>
#include <utility>

namespace vexel {

// A memory cache of values by key with two limits, the number of entries and
// the sum of their costs (bytes, as the caller reckons them); a limit of 0 is
// no limit. When a store passes a limit, the least recently used entries leave
// until both hold again; the entry just stored is never the one that leaves,
// so a value that alone costs more than the cost limit stays as the only entry
// instead of being decoded again on every look-up. Callers rely only on a miss
// being answered by loading again. One thread only; no locks.
template <class Key, class Value, class Hash = std::hash<Key>> class LruCache {
public:
    LruCache(std::size_t countLimit, std::size_t totalCostLimit)
        : countLimit_(countLimit)
        , totalCostLimit_(totalCostLimit) {}

    LruCache(const LruCache&) = delete;
    LruCache& operator=(const LruCache&) = delete;

    std::size_t countLimit() const { return countLimit_; }
    std::size_t totalCostLimit() const { return totalCostLimit_; }
    std::size_t count() const { return entries_.size(); }
    std::size_t totalCost() const { return totalCost_; }

    // The value under `key`, which becomes the most recently used entry.
    std::optional<Value> object(const Key& key) {
        const auto found = index_.find(key);
        if (found == index_.end()) {
            return std::nullopt;
        }
        entries_.splice(entries_.begin(), entries_, found->second);
        return found->second->value;
    }

    bool contains(const Key& key) const { return index_.contains(key); }

    // Stores `value` under `key` (replacing what was there) as the most
    // recently used entry, then evicts down to the limits.
    void setObject(const Key& key, Value value, std::size_t cost) {
        removeObject(key);
        entries_.push_front(Entry{key, std::move(value), cost});
        index_.emplace(key, entries_.begin());
        totalCost_ += cost;
        while (entries_.size() > 1 && overLimits()) {
            removeEntry(std::prev(entries_.end()));
        }
    }

    void removeObject(const Key& key) {
        const auto found = index_.find(key);
        if (found != index_.end()) {
            removeEntry(found->second);
        }
    }

    void removeAllObjects() {
        index_.clear();
        entries_.clear();
        totalCost_ = 0;
    }

private:
    struct Entry {
        Key key;
        Value value;
        std::size_t cost;
    };
    using Position = typename std::list<Entry>::iterator;

    bool overLimits() const {
        return (countLimit_ != 0 && entries_.size() > countLimit_) ||
               (totalCostLimit_ != 0 && totalCost_ > totalCostLimit_);
    }

    void removeEntry(Position position) {
        totalCost_ -= position->cost;
        index_.erase(position->key);
        entries_.erase(position);
    }

    std::size_t countLimit_;
    std::size_t totalCostLimit_;
    std::size_t totalCost_ = 0;
    // Most recently used first.
    std::list<Entry> entries_;
    std::unordered_map<Key, Position, Hash> index_;
};

} // namespace vexel
