#pragma once

#include "domain/entities/Clip.h"
#include "foundation/Uuid.h"
#include "presentation/views/timeline/BarsInView.h"
#include "presentation/views/timeline/LaneSlivers.h"

#include <QResizeEvent>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace vexel {

// The bar widgets of a lane: one for each clip that has a bar where the lane
// is in sight (BarsInView), placed by the lane's `update`, and the slivers
// over them. Bars are kept by clip id as the clips, the axis and the sight
// change, so that a gesture under way survives a refresh: the bar of a
// gesture under way stays with its clip wherever it is, and the selected
// clip's stays while it reaches into sight, whatever lies over it. A bar no
// longer needed is hidden and used again for another clip, never deleted:
// one of them may be reporting a gesture. Of a clip id given twice, the first
// clip has the bar. Later clips lie over earlier ones.
//
// `Bar` is a widget with `const Clip& clip()` and `bool isHeld()`, true
// while a gesture begun on it is under way.
template <class Bar> class ClipBarSet {
public:
    using Make = std::function<Bar*()>;
    using Update = std::function<void(Bar& bar, const Clip& clip)>;

    ClipBarSet(QWidget& lane, Make make, Update update)
        : lane_(lane)
        , make_(std::move(make))
        , update_(std::move(update))
        , clips_(std::make_shared<const std::vector<Clip>>())
        , slivers_(new LaneSlivers([this](int x) { return barAt(x); },
                                   [this](int x) { return nameAt(x); }, lane)) {
        slivers_->setBody(body_);
    }

    // The lane's clips, shared with whoever else needs them (the bars' snap
    // points).
    void setClips(std::shared_ptr<const std::vector<Clip>> clips) {
        clips_ = std::move(clips);
        times_.setClips(*clips_);
        findSelected();
        layOut();
    }
    const std::shared_ptr<const std::vector<Clip>>& clips() const { return clips_; }

    // `maxDuration` seconds across `totalWidth` pixels of the lane; whether
    // that changed the axis (and laid the bars out again).
    bool setAxis(double maxDuration, double totalWidth) {
        if (maxDuration == maxDuration_ && totalWidth == totalWidth_) {
            return false;
        }
        maxDuration_ = maxDuration;
        totalWidth_ = totalWidth;
        layOut();
        return true;
    }

    // The row was resized: a new width moves the bars through the axis, a
    // new height alone moves none of them in time, so each is fitted to it.
    void rowResized(double maxDuration, const QResizeEvent& event) {
        if (!setAxis(maxDuration, event.size().width())) {
            layOut();
        }
        if (event.size().height() != event.oldSize().height()) {
            forEach([](Bar& bar) { bar.relayout(); });
        }
    }

    // The columns of the lane in sight; none stands for all of them.
    void setSight(std::optional<BarsInView::Columns> sight) {
        if (sight == sight_) {
            return;
        }
        sight_ = sight;
        layOut();
    }

    void setSelectedClipId(const std::optional<Uuid>& clipId) {
        if (clipId == selectedId_) {
            return;
        }
        selectedId_ = clipId;
        findSelected();
        layOut();
    }

    void setSliverColour(const QColor& colour) { slivers_->setColour(colour); }
    // The bodies drawn for the bars and slivers of the lane, one for all.
    const std::shared_ptr<BarBody>& body() const { return body_; }

    // Places every bar in sight again, and asks `update` of each.
    void layOut() { layOut(std::nullopt); }

    // While held, a change lays the bars out only once they are let go: a
    // zoom step changes the lane's width and then its sight.
    void setHeld(bool held) {
        held_ = held;
        if (!held_ && pending_) {
            layOut();
        }
    }

    // In clip order.
    std::vector<Bar*> inOrder() const { return order_; }

    Bar* find(const Uuid& clipId) const {
        const auto found = bars_.find(clipId);
        return found != bars_.end() ? found->second : nullptr;
    }

    template <class Action> void forEach(Action action) const {
        for (Bar* bar : order_) {
            action(*bar);
        }
    }

    LaneSlivers& slivers() const { return *slivers_; }

private:
    void findSelected() {
        selectedIndex_.reset();
        if (!selectedId_) {
            return;
        }
        const std::vector<Clip>& clips = *clips_;
        const auto found = std::find_if(clips.begin(), clips.end(),
                                        [&](const Clip& clip) { return clip.id == *selectedId_; });
        if (found != clips.end()) {
            selectedIndex_ = static_cast<std::size_t>(found - clips.begin());
        }
    }

    BarsInView::Columns sight() const {
        const BarsInView::Columns lane{0, lane_.width()};
        if (!sight_) {
            return lane;
        }
        return {std::max(sight_->left, lane.left), std::min(sight_->right, lane.right)};
    }

    void layOut(std::optional<std::size_t> promoted) {
        if (held_ && !promoted) {
            pending_ = true;
            return;
        }
        pending_ = false;
        const std::vector<Clip>& clips = *clips_;
        std::vector<std::size_t> pinned;
        if (selectedIndex_) {
            pinned.push_back(*selectedIndex_);
        }
        if (promoted) {
            pinned.push_back(*promoted);
        }
        layout_ = times_.layout(maxDuration_, totalWidth_, sight(), pinned);
        // A bar with a gesture under way stays with its clip, in sight or not.
        std::vector<Uuid> held;
        for (const auto& [id, bar] : bars_) {
            if (bar->isHeld()) {
                held.push_back(id);
            }
        }
        if (!held.empty()) {
            for (std::size_t i = 0; i < clips.size(); ++i) {
                if (std::find(held.begin(), held.end(), clips[i].id) != held.end()) {
                    layout_.bars.insert(
                        std::lower_bound(layout_.bars.begin(), layout_.bars.end(), i), i);
                }
            }
            layout_.bars.erase(std::unique(layout_.bars.begin(), layout_.bars.end()),
                               layout_.bars.end());
        }
        show(clips, layout_.bars);
        slivers_->setGeometry(lane_.rect());
        slivers_->setSlivers(layout_.slivers);
        slivers_->raise();
    }

    void show(const std::vector<Clip>& clips, const std::vector<std::size_t>& shown) {
        std::unordered_map<Uuid, Bar*> kept;
        std::unordered_set<Uuid> chosenIds;
        std::vector<std::size_t> chosen;
        std::vector<std::size_t> fresh;
        for (std::size_t i : shown) {
            const Uuid& id = clips[i].id;
            if (!chosenIds.insert(id).second) {
                continue;
            }
            chosen.push_back(i);
            if (const auto found = bars_.find(id); found != bars_.end()) {
                kept.emplace(id, found->second);
                bars_.erase(found);
            } else {
                fresh.push_back(i);
            }
        }
        for (auto& [id, bar] : bars_) {
            bar->hide();
            spare_.push_back(bar);
        }
        // The bars that keep their clips lie as they did.
        std::unordered_set<Bar*> stayed;
        for (const auto& [id, bar] : kept) {
            stayed.insert(bar);
        }
        for (std::size_t i : fresh) {
            Bar* bar = nullptr;
            if (!spare_.empty()) {
                bar = spare_.back();
                spare_.pop_back();
            } else {
                bar = make_();
            }
            kept.emplace(clips[i].id, bar);
        }
        bars_ = std::move(kept);

        std::vector<Bar*> order;
        order.reserve(chosen.size());
        for (std::size_t i : chosen) {
            Bar* bar = bars_.at(clips[i].id);
            update_(*bar, clips[i]);
            order.push_back(bar);
        }
        // A spare bar given its former clip again changes nothing it would
        // lay itself out for, but the row may have changed height meanwhile.
        for (std::size_t i : fresh) {
            bars_.at(clips[i].id)->relayout();
        }
        restack(order, stayed);
        for (Bar* bar : order) {
            if (bar->isHidden()) {
                bar->show();
            }
        }
        order_ = std::move(order);
    }

    // Puts the bars of `order` one over the other, each above the one before.
    // Those that `stayed` with their clips lie as they did: only a change of
    // their order restacks them all; any other goes under the bar after it.
    void restack(const std::vector<Bar*>& order, const std::unordered_set<Bar*>& stayed) {
        std::vector<Bar*> before;
        for (Bar* bar : order_) {
            if (stayed.contains(bar)) {
                before.push_back(bar);
            }
        }
        std::vector<Bar*> now;
        for (Bar* bar : order) {
            if (stayed.contains(bar)) {
                now.push_back(bar);
            }
        }
        if (now != before) {
            for (Bar* bar : order) {
                bar->raise();
            }
            return;
        }
        for (std::size_t i = order.size(); i-- > 0;) {
            if (stayed.contains(order[i])) {
                continue;
            }
            if (i + 1 < order.size()) {
                order[i]->stackUnder(order[i + 1]);
            } else {
                order[i]->raise();
            }
        }
    }

    // The bar of the clip on top in column `x`, made for it when it has none.
    QWidget* barAt(int x) {
        const std::optional<std::size_t> clip = layout_.clipAt(x);
        if (!clip) {
            return nullptr;
        }
        layOut(clip);
        return find((*clips_)[*clip].id);
    }

    QString nameAt(int x) const {
        const std::optional<std::size_t> clip = layout_.clipAt(x);
        return clip ? QString::fromStdString((*clips_)[*clip].assetName) : QString();
    }

    QWidget& lane_;
    Make make_;
    Update update_;
    std::shared_ptr<const std::vector<Clip>> clips_;
    BarsInView times_;
    BarsInView::Layout layout_;
    double maxDuration_ = 1;
    double totalWidth_ = 0;
    std::optional<BarsInView::Columns> sight_;
    std::optional<Uuid> selectedId_;
    std::optional<std::size_t> selectedIndex_;
    std::unordered_map<Uuid, Bar*> bars_;
    std::vector<Bar*> order_;
    std::vector<Bar*> spare_;
    bool held_ = false;
    bool pending_ = false;
    std::shared_ptr<BarBody> body_ = std::make_shared<BarBody>();
    LaneSlivers* slivers_;
};

} // namespace vexel
