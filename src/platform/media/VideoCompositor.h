#pragma once

#include "platform/media/PixelBuffer.h"
#include "platform/media/VideoCompositionInstruction.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace vexel::media {

// Why a compositor could not make a frame.
struct VideoCompositionError {
    std::string domain;
    int code = 0;
    std::string description;

    friend bool operator==(const VideoCompositionError&, const VideoCompositionError&) = default;
};

// One frame to compose: the instruction in force, the composition time, the
// decoded frames of the instruction's tracks, and where to get the output
// buffer. Finished exactly once, with a frame or an error.
class VideoCompositionRequest {
public:
    // Gives a buffer of the render size, zero-filled when asked; none when it
    // cannot.
    using Allocator = std::function<std::optional<PixelBuffer>(bool zeroFilled)>;

    VideoCompositionRequest(std::shared_ptr<const VideoCompositionInstruction> instruction,
                            MediaTime compositionTime, std::map<int, PixelBuffer> sourceFrames,
                            Allocator allocator);

    const VideoCompositionInstruction& instruction() const { return *instruction_; }
    const MediaTime& compositionTime() const { return compositionTime_; }
    // The frame of a track at this time; none where the track shows nothing
    // (a gap, the media has ended) or the instruction does not require it.
    std::optional<PixelBuffer> sourceFrame(int trackID) const;
    // A zero-filled buffer of the render size; none when it cannot be had.
    std::optional<PixelBuffer> newPixelBuffer() const;
    // The same with whatever pixels it held, for compositors that write
    // every pixel.
    std::optional<PixelBuffer> newPixelBufferForOverwrite() const;

    // Only the first finish counts.
    void finish(PixelBuffer frame);
    void finish(VideoCompositionError error);

    bool isFinished() const { return !std::holds_alternative<std::monostate>(result_); }
    const std::variant<std::monostate, PixelBuffer, VideoCompositionError>& result() const {
        return result_;
    }

private:
    std::shared_ptr<const VideoCompositionInstruction> instruction_;
    MediaTime compositionTime_;
    std::map<int, PixelBuffer> sourceFrames_;
    Allocator allocator_;
    std::variant<std::monostate, PixelBuffer, VideoCompositionError> result_;
};

// Makes the frames of a custom video composition. A new compositor is made
// for each use of the composition; it may be called on several threads at
// once, and must finish every request before startRequest returns. It should
// be a pure function of the request: scheduling and read-ahead are the
// reader's.
class VideoCompositor {
public:
    virtual ~VideoCompositor() = default;
    virtual void startRequest(VideoCompositionRequest& request) = 0;
};

} // namespace vexel::media
