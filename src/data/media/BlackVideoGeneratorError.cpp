#include "data/media/BlackVideoGeneratorError.h"

#include "foundation/CaseText.h"

namespace vexel {

namespace {

const char* caseName(BlackVideoGeneratorError::Kind kind) {
    using Kind = BlackVideoGeneratorError::Kind;
    switch (kind) {
    case Kind::writerFailed:
        return "writerFailed";
    case Kind::invalidDuration:
        return "invalidDuration";
    case Kind::invalidSize:
        return "invalidSize";
    case Kind::invalidFPS:
        return "invalidFPS";
    case Kind::cannotCreatePixelBuffer:
        return "cannotCreatePixelBuffer";
    }
    return "";
}

} // namespace

BlackVideoGeneratorError::BlackVideoGeneratorError(Kind kind, std::string detail)
    : kind_(kind)
    , detail_(std::move(detail))
    , description_(kind == Kind::writerFailed
                       ? casetext::call(caseName(kind), {casetext::quoted(detail_)})
                       : casetext::call(caseName(kind), {})) {}

BlackVideoGeneratorError BlackVideoGeneratorError::writerFailed(std::string detail) {
    return BlackVideoGeneratorError(Kind::writerFailed, std::move(detail));
}
BlackVideoGeneratorError BlackVideoGeneratorError::invalidDuration() {
    return BlackVideoGeneratorError(Kind::invalidDuration, {});
}
BlackVideoGeneratorError BlackVideoGeneratorError::invalidSize() {
    return BlackVideoGeneratorError(Kind::invalidSize, {});
}
BlackVideoGeneratorError BlackVideoGeneratorError::invalidFPS() {
    return BlackVideoGeneratorError(Kind::invalidFPS, {});
}
BlackVideoGeneratorError BlackVideoGeneratorError::cannotCreatePixelBuffer() {
    return BlackVideoGeneratorError(Kind::cannotCreatePixelBuffer, {});
}

std::string BlackVideoGeneratorError::userMessage() const {
    switch (kind_) {
    case Kind::writerFailed:
        return "Could not write the background video: " + detail_;
    case Kind::invalidDuration:
        return "The background video must last more than 0 and at most 3600 seconds.";
    case Kind::invalidSize:
        return "The background video must be 1 to 7680 pixels wide and high.";
    case Kind::invalidFPS:
        return "The background video must have 1 to 30 frames per second.";
    case Kind::cannotCreatePixelBuffer:
        return "Could not create a frame for the background video.";
    }
    return {};
}

} // namespace vexel
