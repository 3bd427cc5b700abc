#include "platform/media/VideoComposition.h"
#include "platform/media/LayerVideoCompositionInstruction.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vexel::media;

namespace {

MediaTime seconds(double s) {
    return MediaTime::fromSeconds(s);
}

// An opaque frame of one colour with a white 4x4 mark at the top left.
PixelBuffer frame(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    PixelBuffer buffer = PixelBuffer::create(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool mark = x < 4 && y < 4;
            std::uint8_t* p = buffer.row(y) + 4 * x;
            p[0] = mark ? 255 : b;
            p[1] = mark ? 255 : g;
            p[2] = mark ? 255 : r;
            p[3] = 255;
        }
    }
    return buffer;
}

const std::uint8_t* at(const PixelBuffer& buffer, int x, int y) {
    return buffer.row(y) + 4 * x;
}

// Composes one frame of 64x48 through the layer form.
VideoCompositionRequest compose(std::vector<VideoCompositionLayerInstruction> layers,
                                std::map<int, PixelBuffer> sources, MediaTime time) {
    auto instruction = std::make_shared<LayerVideoCompositionInstruction>(
        MediaTimeRange{seconds(0), seconds(10)}, std::move(layers));
    VideoCompositionRequest request(instruction, time, std::move(sources),
                                    [](bool) { return PixelBuffer::create(64, 48); });
    LayerVideoCompositor().startRequest(request);
    return request;
}

const PixelBuffer& output(const VideoCompositionRequest& request) {
    return std::get<PixelBuffer>(request.result());
}

} // namespace

TEST(VideoComposition, LayersStackFirstOnTopOverBlackWithTheirOpacityRamps) {
    VideoCompositionLayerInstruction top{.trackID = 1};
    top.opacity.setRamp(0, 1, {seconds(0), seconds(1)});
    VideoCompositionLayerInstruction bottom{.trackID = 2};
    bottom.setTransform(Affine::translation(32, 0), seconds(0));
    std::map<int, PixelBuffer> sources{{1, frame(64, 48, 0, 0, 200)},
                                       {2, frame(64, 48, 200, 0, 0)}};

    for (double t : {0.0, 0.25, 0.5, 1.0, 2.0}) {
        VideoCompositionRequest request = compose({top, bottom}, sources, seconds(t));
        const PixelBuffer& out = output(request);
        double alpha = std::min(t, 1.0);
        // Left half: the red top layer over black; right half: over blue.
        EXPECT_NEAR(at(out, 16, 24)[2], 200 * alpha, 2) << t;
        EXPECT_NEAR(at(out, 16, 24)[0], 0, 1) << t;
        EXPECT_NEAR(at(out, 48, 24)[2], 200 * alpha, 2) << t;
        EXPECT_NEAR(at(out, 48, 24)[0], 200 * (1 - alpha), 2) << t;
        EXPECT_EQ(at(out, 16, 24)[3], 255) << t;
    }

    // A layer alone that covers the frame is drawn over black the same way.
    VideoCompositionRequest alone = compose({top}, sources, seconds(0.5));
    EXPECT_NEAR(at(output(alone), 16, 24)[2], 100, 2);
    EXPECT_EQ(at(output(alone), 16, 24)[0], 0);
    EXPECT_EQ(at(output(alone), 16, 24)[3], 255);
    EXPECT_NEAR(at(output(alone), 2, 2)[1], 128, 2);

    // A track without a frame (a gap) leaves the black background.
    VideoCompositionRequest gap = compose({bottom}, {}, seconds(0));
    EXPECT_EQ(at(output(gap), 40, 24)[0], 0);
    EXPECT_EQ(at(output(gap), 40, 24)[3], 255);
}

TEST(VideoComposition, TopLeftStaysTopLeftThroughScalingAndCropping) {
    // 32x24 scaled by 2 fills the 64x48 frame; the mark grows to 8x8.
    VideoCompositionLayerInstruction scaled{.trackID = 1};
    scaled.setTransform(Affine::scale(2, 2), seconds(0));
    VideoCompositionRequest request =
        compose({scaled}, {{1, frame(32, 24, 0, 200, 0)}}, seconds(0));
    const PixelBuffer& out = output(request);
    EXPECT_GT(at(out, 2, 2)[2], 240);
    EXPECT_GT(at(out, 6, 6)[2], 200);
    EXPECT_LT(at(out, 12, 12)[2], 10);
    EXPECT_GT(at(out, 12, 12)[1], 190);
    EXPECT_LT(at(out, 61, 45)[2], 10);
    EXPECT_LT(at(out, 61, 2)[2], 10);
    EXPECT_LT(at(out, 2, 45)[2], 10);

    // A horizontal flip moves the mark to the top right.
    VideoCompositionLayerInstruction flipped{.trackID = 1};
    flipped.setTransform(Affine::scale(-1, 1).then(Affine::translation(64, 0)), seconds(0));
    VideoCompositionRequest mirrored =
        compose({flipped}, {{1, frame(64, 48, 0, 200, 0)}}, seconds(0));
    EXPECT_GT(at(output(mirrored), 62, 1)[2], 240);
    EXPECT_LT(at(output(mirrored), 1, 1)[2], 10);

    // A crop draws only its part of the source, where the transform puts it.
    VideoCompositionLayerInstruction cropped{.trackID = 1};
    cropped.cropRectangle = Rect{{0, 0}, {16, 16}};
    VideoCompositionRequest part = compose({cropped}, {{1, frame(64, 48, 0, 200, 0)}}, seconds(0));
    EXPECT_GT(at(output(part), 1, 1)[2], 240);
    EXPECT_GT(at(output(part), 10, 10)[1], 190);
    EXPECT_EQ(at(output(part), 20, 20)[1], 0);
}

TEST(VideoComposition, RequestsFailWithTheirErrorAndInstructionsAreFoundByTime) {
    struct Other : VideoCompositionInstruction {
        MediaTimeRange timeRange() const override { return {seconds(0), seconds(1)}; }
        std::vector<int> requiredSourceTrackIDs() const override { return {}; }
    };
    VideoCompositionRequest wrong(std::make_shared<Other>(), seconds(0), {},
                                  [](bool) { return PixelBuffer::create(8, 8); });
    LayerVideoCompositor().startRequest(wrong);
    EXPECT_EQ(std::get<VideoCompositionError>(wrong.result()).code, -1);

    VideoCompositionRequest starved(std::make_shared<LayerVideoCompositionInstruction>(
                                        MediaTimeRange{seconds(0), seconds(1)},
                                        std::vector<VideoCompositionLayerInstruction>{}),
                                    seconds(0), {}, [](bool) { return std::nullopt; });
    LayerVideoCompositor().startRequest(starved);
    EXPECT_EQ(std::get<VideoCompositionError>(starved.result()),
              (VideoCompositionError{"LayerVideoCompositor", -2,
                                     "Failed to allocate output pixel buffer"}));

    VideoComposition composition;
    composition.renderSize = {1920.7, 0.2};
    auto first = std::make_shared<Other>();
    composition.instructions = {first};
    EXPECT_EQ(composition.instruction(seconds(0.5)), first);
    EXPECT_EQ(composition.instruction(seconds(1)), nullptr);
    EXPECT_EQ(composition.renderWidth(), 1920);
    EXPECT_EQ(composition.renderHeight(), 1);
}
