#include "presentation/views/timeline/BarsInView.h"

#include "presentation/helpers/ClipBarFrame.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <utility>

namespace vexel {

namespace {

constexpr int narrowest = static_cast<int>(ClipBarFrame::minimumWidth);

int whole(double pixels) {
    return static_cast<int>(std::lround(std::clamp(pixels, -1e9, 1e9)));
}

// The first column at or after each column not yet covered by a clip above:
// each column is handed out once, so a lane's layout costs one step per clip
// and per column, however the clips overlap.
class FreeColumns {
public:
    explicit FreeColumns(int count)
        : next_(static_cast<std::size_t>(count) + 1) {
        std::iota(next_.begin(), next_.end(), 0);
    }

    // The first free column at or after `column` (the count when none).
    int from(int column) {
        int root = column;
        while (next_[static_cast<std::size_t>(root)] != root) {
            root = next_[static_cast<std::size_t>(root)];
        }
        while (next_[static_cast<std::size_t>(column)] != root) {
            column = std::exchange(next_[static_cast<std::size_t>(column)], root);
        }
        return root;
    }

    void take(int column) { next_[static_cast<std::size_t>(column)] = column + 1; }

private:
    std::vector<int> next_;
};

} // namespace

BarsInView::Columns BarsInView::columnsOf(double left, double width) {
    const int x = whole(left);
    const int end = whole(left + width);
    return {x, x + std::max(end - x, narrowest)};
}

std::optional<std::size_t> BarsInView::Layout::clipAt(int x) const {
    if (x < sight.left || x >= sight.right) {
        return std::nullopt;
    }
    const std::int32_t clip = topClip[static_cast<std::size_t>(x - sight.left)];
    return clip < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(clip));
}

void BarsInView::setClips(const std::vector<Clip>& clips) {
    clips_.clear();
    clips_.reserve(clips.size());
    for (const Clip& clip : clips) {
        clips_.push_back({clip.timeRange.startTime, clip.timeRange.duration});
    }
    byStart_.resize(clips_.size());
    std::iota(byStart_.begin(), byStart_.end(), 0u);
    const auto earlier = [&](std::uint32_t a, std::uint32_t b) {
        return clips_[a].start < clips_[b].start;
    };
    if (!std::is_sorted(byStart_.begin(), byStart_.end(), earlier)) {
        std::stable_sort(byStart_.begin(), byStart_.end(), earlier);
    }
    starts_.resize(clips_.size());
    reach_.resize(clips_.size());
    double reach = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < byStart_.size(); ++i) {
        const Times& times = clips_[byStart_[i]];
        starts_[i] = times.start;
        reach = std::max(reach, times.start + times.duration);
        reach_[i] = reach;
    }
}

BarsInView::Layout BarsInView::layout(double maxDuration, double totalWidth, Columns sight,
                                      std::span<const std::size_t> pinned) const {
    Layout result;
    // A bar cut off by the edge of sight keeps its shape: it is judged by
    // the columns it shows just beyond the edge as well.
    const Columns looked{sight.left - narrowest, sight.right + narrowest};
    if (sight.width() == 0 || clips_.empty()) {
        return result;
    }
    result.sight = looked;
    result.topClip.assign(static_cast<std::size_t>(looked.width()), -1);
    const double span = maxDuration > 0 ? maxDuration : 1;
    const auto columns = [&](std::size_t clip) {
        const Times& times = clips_[clip];
        const ClipBarFrame frame{times.start, times.duration, maxDuration, totalWidth};
        return columnsOf(frame.baseOffset(), frame.drawnWidth());
    };
    const auto reaches = [&](std::size_t clip) {
        const Columns drawn = columns(clip);
        return drawn.right > looked.left && drawn.left < looked.right;
    };

    // The clips that may reach into sight, in start order: from the first
    // that ends (or, drawn at its narrowest, reaches) past its left edge, up
    // to the first that starts past its right edge. One pixel of slack on
    // either side covers the rounding of the edges.
    std::size_t first = 0;
    std::size_t last = starts_.size();
    if (totalWidth > 0) {
        const double secondsPerPixel = span / totalWidth;
        const double leftTime = (looked.left - 1) * secondsPerPixel;
        const double narrowTime = leftTime - narrowest * secondsPerPixel;
        const auto byReach = std::upper_bound(reach_.begin(), reach_.end(), leftTime);
        const auto byStart = std::upper_bound(starts_.begin(), starts_.end(), narrowTime);
        first =
            static_cast<std::size_t>(std::min(byReach - reach_.begin(), byStart - starts_.begin()));
        last = static_cast<std::size_t>(
            std::upper_bound(starts_.begin(), starts_.end(), (looked.right + 1) * secondsPerPixel) -
            starts_.begin());
        last = std::max(first, last);
    }

    // Later clips lie over earlier ones: the columns go to the clips from the
    // last down. Where most of the lane is in sight, walking every clip costs
    // less than ordering those in sight.
    std::vector<std::uint32_t> candidates;
    const std::size_t count = last - first;
    const bool walkAll = count > clips_.size() / 4;
    if (!walkAll) {
        candidates.assign(byStart_.begin() + static_cast<std::ptrdiff_t>(first),
                          byStart_.begin() + static_cast<std::ptrdiff_t>(last));
        std::sort(candidates.begin(), candidates.end(), std::greater<>());
    }
    const auto isPinned = [&](std::size_t clip) {
        return std::find(pinned.begin(), pinned.end(), clip) != pinned.end();
    };

    FreeColumns free(looked.width());
    int uncovered = looked.width();
    std::vector<int> shown;
    std::vector<char> sliverColumn(static_cast<std::size_t>(looked.width()), 0);
    const auto place = [&](std::size_t clip) {
        const Columns drawn = columns(clip);
        if (!(drawn.right > looked.left && drawn.left < looked.right)) {
            return;
        }
        const int from = std::max(drawn.left, looked.left) - looked.left;
        const int to = std::min(drawn.right, looked.right) - looked.left;
        shown.clear();
        for (int column = free.from(from); column < to; column = free.from(column + 1)) {
            free.take(column);
            shown.push_back(column);
            result.topClip[static_cast<std::size_t>(column)] = static_cast<std::int32_t>(clip);
        }
        uncovered -= static_cast<int>(shown.size());
        const bool bar = static_cast<int>(shown.size()) >= narrowest || isPinned(clip);
        if (bar) {
            result.bars.push_back(clip);
        } else {
            for (int column : shown) {
                sliverColumn[static_cast<std::size_t>(column)] = 1;
            }
        }
    };
    if (walkAll) {
        for (std::size_t clip = clips_.size(); clip-- > 0 && uncovered > 0;) {
            place(clip);
        }
    } else {
        for (std::size_t i = 0; i < candidates.size() && uncovered > 0; ++i) {
            place(candidates[i]);
        }
    }
    // A pinned clip under others that filled the sight before it came.
    for (std::size_t clip : pinned) {
        if (clip < clips_.size() && reaches(clip) &&
            std::find(result.bars.begin(), result.bars.end(), clip) == result.bars.end()) {
            result.bars.push_back(clip);
        }
    }
    std::sort(result.bars.begin(), result.bars.end());

    for (int column = 0; column < looked.width();) {
        if (!sliverColumn[static_cast<std::size_t>(column)]) {
            ++column;
            continue;
        }
        const std::int32_t clip = result.topClip[static_cast<std::size_t>(column)];
        const int start = column;
        while (column < looked.width() && sliverColumn[static_cast<std::size_t>(column)] &&
               result.topClip[static_cast<std::size_t>(column)] == clip) {
            ++column;
        }
        result.slivers.push_back({static_cast<std::size_t>(clip),
                                  {looked.left + start, looked.left + column},
                                  columns(static_cast<std::size_t>(clip))});
    }
    return result;
}

} // namespace vexel
