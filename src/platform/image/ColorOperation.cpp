#include "platform/image/ColorOperation.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace vexel::image {

namespace {

constexpr std::array<double, 3> kLuma{0.2125, 0.7154, 0.0721};

using Matrix = std::array<std::array<double, 4>, 3>;

void requireFinite(double value, const char* name) {
    if (!std::isfinite(value)) {
        throw std::invalid_argument(std::string("colour parameter is not finite: ") + name);
    }
}

// Each row: `amount` of `target`'s row plus the rest of the identity row.
Matrix mixWithIdentity(const Matrix& target, double amount) {
    Matrix mixed{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            double identity = row == column ? 1.0 : 0.0;
            mixed[row][column] = identity + amount * (target[row][column] - identity);
        }
    }
    return mixed;
}

Matrix lumaMatrix() {
    Matrix luma{};
    for (auto& row : luma) {
        row = {kLuma[0], kLuma[1], kLuma[2], 0};
    }
    return luma;
}

ColorOperation fromMatrix(const Matrix& matrix, float curve = 0) {
    ColorOperation operation;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            operation.matrix[row][column] = static_cast<float>(matrix[row][column]);
        }
    }
    operation.curve = curve;
    return operation;
}

} // namespace

ColorOperation ColorOperation::colorControls(double brightness, double contrast,
                                             double saturation) {
    requireFinite(brightness, "brightness");
    requireFinite(contrast, "contrast");
    requireFinite(saturation, "saturation");
    // Saturation, brightness and contrast are all affine, so they fold into one
    // matrix; only the final clamp is not.
    Matrix matrix = mixWithIdentity(lumaMatrix(), 1 - saturation);
    for (auto& row : matrix) {
        for (int column = 0; column < 3; ++column) {
            row[column] *= contrast;
        }
        row[3] = (brightness - 0.5) * contrast + 0.5;
    }
    return fromMatrix(matrix);
}

ColorOperation ColorOperation::sepia(double intensity) {
    requireFinite(intensity, "intensity");
    constexpr Matrix kSepia{
        {{0.393, 0.769, 0.189, 0}, {0.349, 0.686, 0.168, 0}, {0.272, 0.534, 0.131, 0}}};
    return fromMatrix(mixWithIdentity(kSepia, intensity));
}

ColorOperation ColorOperation::grayscale(double intensity) {
    requireFinite(intensity, "intensity");
    // The overlay tint with a grey of 0.5 is the luma itself.
    return fromMatrix(mixWithIdentity(lumaMatrix(), intensity));
}

ColorOperation ColorOperation::noir() {
    return fromMatrix(lumaMatrix(), 1);
}

std::optional<ColorOperation> filterPreset(std::string_view name, double intensity) {
    if (name == "sepia") {
        return ColorOperation::sepia(intensity);
    }
    if (name == "grayscale") {
        return ColorOperation::grayscale(intensity);
    }
    if (name == "noir") {
        return ColorOperation::noir();
    }
    return std::nullopt;
}

} // namespace vexel::image
