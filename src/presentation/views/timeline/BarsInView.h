#pragma once

#include "domain/entities/Clip.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vexel {

// Which clips of a lane are drawn as bars of their own in the part of the
// lane that is in sight. A lane may hold 100,000 clips, and a bar is a widget:
// only the clips in sight get one, found by a binary search over the clips
// ordered by start. Where bars crowd (no bar is drawn narrower than 4 pixels,
// and later clips lie over earlier ones), a clip that shows fewer columns
// than that from under the clips above it gets no bar: those columns are
// drawn plainly in the lane's colour (a sliver), and a clip that shows none
// is not drawn at all. A lane in sight thus holds at most one bar for every
// few columns of it, however many clips it has.
class BarsInView {
public:
    // Pixel columns [left, right).
    struct Columns {
        int left = 0;
        int right = 0;

        int width() const { return right > left ? right - left : 0; }
        friend bool operator==(const Columns&, const Columns&) = default;
    };

    // The columns a bar drawn from `left` over `width` pixels takes: both
    // edges rounded, so that bars that touch in time touch on screen, and
    // never fewer than the narrowest bar's.
    static Columns columnsOf(double left, double width);

    // Where a clip without a bar of its own is on top: the columns, one after
    // the other, that show of what its bar would be drawn over.
    struct Sliver {
        std::size_t clip = 0;
        Columns shown;
        Columns drawn;

        friend bool operator==(const Sliver&, const Sliver&) = default;
    };

    struct Layout {
        // The clips, by index, that have a bar of their own, in clip order.
        std::vector<std::size_t> bars;
        // Left to right.
        std::vector<Sliver> slivers;
        // The columns looked at, and the clip on top in each (-1: none).
        Columns sight;
        std::vector<std::int32_t> topClip;

        // The clip on top in column `x`, when it is in sight.
        std::optional<std::size_t> clipAt(int x) const;
    };

    // Takes the clips' times; once for every change of the clips.
    void setClips(const std::vector<Clip>& clips);
    std::size_t size() const { return clips_.size(); }

    // The bars and slivers within `sight` (and a bar's width beyond it, so that
    // a bar cut off by the edge keeps its shape) on an axis of `maxDuration`
    // seconds (1 when not positive) across `totalWidth` pixels. The clips of
    // `pinned` that reach into sight have a bar whatever lies over them.
    Layout layout(double maxDuration, double totalWidth, Columns sight,
                  std::span<const std::size_t> pinned = {}) const;

private:
    struct Times {
        double start = 0;
        double duration = 0;
    };

    std::vector<Times> clips_;
    // Clip indices ordered by start, their starts, and the latest end of any
    // clip up to each of them.
    std::vector<std::uint32_t> byStart_;
    std::vector<double> starts_;
    std::vector<double> reach_;
};

} // namespace vexel
