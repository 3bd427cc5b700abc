#pragma once

#include <exception>
#include <string>

namespace vexel {

// Why BlackVideoGenerator could not write a carrier movie.
class BlackVideoGeneratorError : public std::exception {
public:
    enum class Kind {
        writerFailed,
        invalidDuration,
        invalidSize,
        invalidFPS,
        cannotCreatePixelBuffer
    };

    // Carries the writer's error description or a fixed fallback text.
    static BlackVideoGeneratorError writerFailed(std::string detail);
    static BlackVideoGeneratorError invalidDuration();
    static BlackVideoGeneratorError invalidSize();
    static BlackVideoGeneratorError invalidFPS();
    static BlackVideoGeneratorError cannotCreatePixelBuffer();

    Kind kind() const { return kind_; }
    // The writerFailed text; empty for the other cases.
    const std::string& detail() const { return detail_; }

    // writerFailed("..."), invalidDuration, ...
    const char* what() const noexcept override { return description_.c_str(); }
    std::string userMessage() const;

private:
    BlackVideoGeneratorError(Kind kind, std::string detail);

    Kind kind_;
    std::string detail_;
    std::string description_;
};

} // namespace vexel
