#pragma once

#include "data/composition/ColorAdjustInstruction.h"
#include "domain/entities/ClipTransform.h"
#include "domain/entities/ColorAdjust.h"
#include "domain/entities/FilterPreset.h"
#include "domain/entities/TextPosition.h"
#include "foundation/WorkerPool.h"
#include "platform/image/Picture.h"
#include "platform/imageio/ImageSource.h"
#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"
#include "platform/media/PixelBuffer.h"

#include <filesystem>
#include <optional>

namespace vexel {

// Loads overlay images, rasterises overlay texts for an output frame, and places
// both in the frame, for the frame compositor. Frame space is the output frame
// of W x H pixels with the origin at the bottom left and y up; the model's
// normalized positions count y from the top, so (x, y) names (x W, (1 - y) H).
// Stateless: every function is a pure function of its arguments and may run on
// any number of threads at once (text needs the application's QGuiApplication,
// see TextRenderer). Pixel work runs on the `workers` the caller passes.
class OverlayRenderer {
public:
    OverlayRenderer() = delete;

    // A style's font size is in points of a frame this many pixels high.
    static constexpr double referenceHeight = 450;
    // A text layer is placed by this height: max(factor x font size, minimum).
    static constexpr double layerHeightFactor = 1.3;
    static constexpr double minimumLayerHeight = 120;
    // Where `top` texts are centred, as a fraction of H from the bottom;
    // `bottom` texts are centred at 1 minus it.
    static constexpr double topAnchor = 0.92;
    // An overlay transform this close to (0.5, 0.5, 1) counts as none.
    static constexpr double neutralTolerance = 1e-9;

    // The image file at `path`, upright by its stored orientation, with the
    // colour adjustment (unless neutral), the filter preset (unless it names
    // none or an unknown one) and the clip transform's crop baked in: once per
    // distinct image, so that frames only place and move the result. The crop
    // is the whole parts of its fractions of the upright image, y from the top,
    // limited to the image; a crop that keeps nothing is not made. Rotation and
    // flips are left to positionImageOverlay. Null when the file cannot be read
    // or decoded. The result is never written to again: it may be cached and
    // read from any thread.
    static media::PixelBuffer loadProcessedImage(const std::filesystem::path& path,
                                                 const std::optional<ColorAdjust>& colorAdjust,
                                                 const std::optional<FilterPreset>& filter,
                                                 const std::optional<ClipTransform>& clipTransform,
                                                 WorkerPool& workers);

    // The image, as decoded from `source`, turned upright by the source's
    // orientation. Its bottom-left corner stays at the origin.
    static image::Picture applyEXIFOrientation(const imageio::ImageSource& source,
                                               const image::Picture& image);

    // The processed image turned and mirrored by the entry's clip transform
    // (positive degrees counter-clockwise on screen), fitted whole into the
    // frame at the overlay transform's scale and centred on its point, or on
    // the frame's centre without one. Nothing is cut at the frame's edges.
    // Nothing when the image is null or empty (the fit would divide by its
    // size) or the numbers of the placement are not finite.
    static std::optional<image::Picture>
    positionImageOverlay(const media::PixelBuffer& image,
                         const ColorAdjustInstruction::ImageOverlayEntry& entry,
                         media::Size renderSize);

    // The style a text is rasterised in for a frame of `renderSize`: the font
    // size scaled by H / 450 (unchanged without a height), the stroke as it is.
    static TextStyle outputTextStyle(const TextStyle& style, media::Size renderSize);
    // The width, in frame pixels, a text is laid out in: the style's box width
    // (0.96 without one) times W.
    static double outputBoxWidth(const TextStyle& style, media::Size renderSize);

    // The entry's text rasterised for a frame of `renderSize`: in the output
    // style, laid out in the output box width, drawn at twice the measured
    // box. Null for an empty text or when the measured box is empty or too
    // large.
    static media::PixelBuffer renderTextImage(const ColorAdjustInstruction::TextOverlayEntry& entry,
                                              media::Size renderSize);

    // The bottom edge in frame space of a text layer `scaledLayerHeight` high
    // at `position`, kept inside the frame (at 0 when the layer is taller).
    static double textYOrigin(const TextPosition& position, double renderHeight,
                              double scaledLayerHeight);

    // A raster of renderTextImage placed in the frame: at half its pixel size,
    // centred in the style's box across, and with its layer height (not its
    // own) at the entry's position, then scaled by the entry's text scale about
    // its own centre. Nothing for a null raster or numbers that leave no
    // finite placement.
    static std::optional<image::Picture>
    positionTextOverlay(const media::PixelBuffer& raster,
                        const ColorAdjustInstruction::TextOverlayEntry& entry,
                        media::Size renderSize);

    // Where positionTextOverlay puts a text whose box is `box` frame pixels:
    // the map from the box (origin at its bottom-left corner, y up) into the
    // frame, for drawing a raster of that box at another resolution. Nothing
    // for numbers that leave no finite placement.
    static std::optional<media::Affine>
    textPlacement(media::Size box, const ColorAdjustInstruction::TextOverlayEntry& entry,
                  media::Size renderSize);
};

} // namespace vexel
