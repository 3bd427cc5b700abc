#pragma once

#include "domain/entities/Clip.h"
#include "foundation/Uuid.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace vexel {

// The bar widgets of a lane, one per clip, kept by clip id as the clips
// change, so that a gesture under way survives a refresh.
template <class Bar> class ClipBarSet {
public:
    // Keeps a bar for every clip, in clip order: bars of clips still there
    // stay, new clips get one from `make()`, and `update(bar, clip)` runs for
    // each. Bars of clips that left are hidden and deleted once their events
    // are handled, since one of them may be reporting a gesture. Of a clip id
    // given twice, the first clip keeps the bar. Later clips lie over earlier
    // ones.
    template <class Make, class Update>
    void sync(const std::vector<Clip>& clips, Make make, Update update) {
        std::unordered_map<Uuid, Bar*> kept;
        std::vector<Uuid> order;
        order.reserve(clips.size());
        for (const Clip& clip : clips) {
            Bar* bar = nullptr;
            if (const auto found = bars_.find(clip.id); found != bars_.end()) {
                bar = found->second;
                bars_.erase(found);
            } else if (kept.contains(clip.id)) {
                continue;
            } else {
                bar = make();
            }
            update(*bar, clip);
            kept.emplace(clip.id, bar);
            order.push_back(clip.id);
        }
        for (auto& [id, bar] : bars_) {
            bar->hide();
            bar->deleteLater();
        }
        bars_ = std::move(kept);
        if (order != order_) {
            for (const Uuid& id : order) {
                bars_.at(id)->raise();
            }
            order_ = std::move(order);
        }
    }

    // In clip order.
    std::vector<Bar*> inOrder() const {
        std::vector<Bar*> result;
        result.reserve(order_.size());
        for (const Uuid& id : order_) {
            result.push_back(bars_.at(id));
        }
        return result;
    }

    Bar* find(const Uuid& clipId) const {
        const auto found = bars_.find(clipId);
        return found != bars_.end() ? found->second : nullptr;
    }

    template <class Action> void forEach(Action action) const {
        for (const auto& [id, bar] : bars_) {
            action(*bar);
        }
    }

private:
    std::vector<Uuid> order_;
    std::unordered_map<Uuid, Bar*> bars_;
};

} // namespace vexel
