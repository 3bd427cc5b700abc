#pragma once

#include <exception>
#include <string>

namespace vexel::media {

// A failure of the media layer. FFmpeg failures carry FFmpeg's own text and
// error code.
class MediaError : public std::exception {
public:
    enum class Kind {
        cannotOpen,        // the file cannot be opened or probed
        noSuchTrack,       // the asked track is not in the file
        unsupported,       // no decoder or encoder for the data
        decodingFailed,    // reading or decoding failed midway
        encodingFailed,    // encoding failed
        writingFailed,     // creating or writing the output file failed
        invalidArgument,   // a caller's value is out of range
        invalidState,      // an operation in the wrong state
        compositionFailed, // a video compositor finished a frame with an error
    };

    MediaError(Kind kind, std::string message, int ffmpegCode = 0);
    // A compositor's error, kept as it gave it: its domain, code and description.
    static MediaError compositionFailed(std::string domain, int code, std::string description);

    Kind kind() const { return kind_; }
    const std::string& message() const { return message_; }
    // The negative AVERROR code, or 0 when the failure is not FFmpeg's.
    int ffmpegCode() const { return ffmpegCode_; }
    // A compositor's error domain and code; empty and 0 otherwise.
    const std::string& domain() const { return domain_; }
    int code() const { return code_; }

    const char* what() const noexcept override { return message_.c_str(); }

private:
    Kind kind_;
    std::string message_;
    int ffmpegCode_;
    std::string domain_;
    int code_ = 0;
};

} // namespace vexel::media
