#include "platform/image/CanvasSpace.h"

namespace vexel::image {

media::Affine flipVertical(double height) {
    return media::Affine::scale(1, -1).then(media::Affine::translation(0, height));
}

media::Affine bottomLeftTransform(const media::Affine& topLeft, double sourceHeight,
                                  double canvasHeight) {
    return flipVertical(sourceHeight).then(topLeft).then(flipVertical(canvasHeight));
}

media::Rect bottomLeftRect(const media::Rect& topLeft, double height) {
    return {{topLeft.minX(), height - topLeft.maxY()}, topLeft.size};
}

} // namespace vexel::image
