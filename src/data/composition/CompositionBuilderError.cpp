#include "data/composition/CompositionBuilderError.h"

#include "foundation/CaseText.h"

namespace vexel {

namespace {

const char* caseName(CompositionBuilderError::Kind kind) {
    using Kind = CompositionBuilderError::Kind;
    switch (kind) {
    case Kind::cannotInsertTimeRange:
        return "cannotInsertTimeRange";
    case Kind::noPlayableClips:
        return "noPlayableClips";
    case Kind::cannotAddTrack:
        return "cannotAddTrack";
    case Kind::cannotCreateComposition:
        return "cannotCreateComposition";
    }
    return "";
}

} // namespace

CompositionBuilderError::CompositionBuilderError(Kind kind, std::string assetName)
    : kind_(kind)
    , assetName_(std::move(assetName))
    , description_(kind == Kind::cannotInsertTimeRange
                       ? casetext::call(caseName(kind), {casetext::quoted(assetName_)})
                       : casetext::call(caseName(kind), {})) {}

CompositionBuilderError CompositionBuilderError::cannotInsertTimeRange(std::string assetName) {
    return CompositionBuilderError(Kind::cannotInsertTimeRange, std::move(assetName));
}
CompositionBuilderError CompositionBuilderError::noPlayableClips() {
    return CompositionBuilderError(Kind::noPlayableClips, {});
}
CompositionBuilderError CompositionBuilderError::cannotAddTrack() {
    return CompositionBuilderError(Kind::cannotAddTrack, {});
}
CompositionBuilderError CompositionBuilderError::cannotCreateComposition() {
    return CompositionBuilderError(Kind::cannotCreateComposition, {});
}

std::string CompositionBuilderError::userMessage() const {
    switch (kind_) {
    case Kind::cannotInsertTimeRange:
        return "Could not place \"" + assetName_ + "\" in the video.";
    case Kind::noPlayableClips:
        return "There is nothing to play: add a video, audio, image or text clip.";
    case Kind::cannotAddTrack:
        return "Could not add a track to the video.";
    case Kind::cannotCreateComposition:
        return "Could not prepare the video.";
    }
    return {};
}

} // namespace vexel
