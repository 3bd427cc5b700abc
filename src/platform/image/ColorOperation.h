#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vexel::image {

// One per-pixel colour step on straight (unpremultiplied) red, green and blue
// in 0...1: an affine colour matrix, a clamp to 0...1, then, blended in by
// `curve`, the S-curve c² (3 − 2c). Alpha passes through. Kernels apply the
// steps of a picture in order while they sample it, so a colour step costs no
// pass over memory of its own.
struct ColorOperation {
    // Rows for red, green and blue: {from red, from green, from blue, offset}.
    std::array<std::array<float, 4>, 3> matrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
    // 0 leaves the clamped colour as it is, 1 puts it through the S-curve.
    float curve = 0;

    // Brightness, contrast and saturation as the model stores them, unscaled:
    // c' = ((l + s (c − l)) + b − 0.5) · contrast + 0.5, clamped, where l is
    // the luma 0.2125 r + 0.7154 g + 0.0721 b. (0, 1, 1) is the identity.
    static ColorOperation colorControls(double brightness, double contrast, double saturation);

    // The classic sepia matrix (rows 0.393 0.769 0.189 / 0.349 0.686 0.168 /
    // 0.272 0.534 0.131) mixed with the identity by `intensity` (0 none, 1 full).
    static ColorOperation sepia(double intensity);

    // The colour mixed by `intensity` toward the luma tinted by a grey of 0.5.
    // The tint is an overlay blend (2 l t below l = 0.5, else 1 − 2 (1 − l)(1 − t)),
    // under which a grey of 0.5 is neutral: at full intensity the picture is
    // its plain luma, as bright as before, not darkened by the grey.
    static ColorOperation grayscale(double intensity);

    // High-contrast black and white: the luma through the S-curve.
    static ColorOperation noir();

    friend bool operator==(const ColorOperation&, const ColorOperation&) = default;
};

// The filter preset of that exact, case-sensitive name: "sepia" and
// "grayscale" with the intensity, "noir" without it. Nothing for "none", the
// empty name and every other name.
std::optional<ColorOperation> filterPreset(std::string_view name, double intensity);

} // namespace vexel::image
