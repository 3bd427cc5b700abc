#pragma once

#include <span>
#include <vector>

namespace vexel {

// The bars of a waveform: one per sample, side by side from the left, each
// centred on the middle line and as tall as its level (0 silence, 1 the full
// height; louder reaches past the edges and is clipped by the caller).
class WaveformShape {
public:
    WaveformShape() = delete;

    struct Bar {
        double x = 0;
        double y = 0;
        double width = 0;
        double height = 0;

        friend bool operator==(const Bar&, const Bar&) = default;
    };

    // The bars across a `width` × `height` area at the origin. Each is half a
    // pixel narrower than its slot, but never narrower than half a pixel.
    static std::vector<Bar> bars(std::span<const float> samples, double width, double height);
};

} // namespace vexel
