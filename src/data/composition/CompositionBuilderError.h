#pragma once

#include <exception>
#include <string>

namespace vexel {

// Why a project could not be turned into a composition.
class CompositionBuilderError : public std::exception {
public:
    enum class Kind {
        cannotInsertTimeRange,
        noPlayableClips,
        cannotAddTrack,
        cannotCreateComposition
    };

    // A clip's media could not be placed; carries the clip's asset name, or
    // "black video carrier".
    static CompositionBuilderError cannotInsertTimeRange(std::string assetName);
    // Nothing to play: no clip could be placed and nothing is drawn over video.
    static CompositionBuilderError noPlayableClips();
    static CompositionBuilderError cannotAddTrack();
    // Kept so that every case of the builder's errors has its counterpart;
    // the immutable copy of our composition cannot fail, so it is not raised.
    static CompositionBuilderError cannotCreateComposition();

    Kind kind() const { return kind_; }
    // The asset name of cannotInsertTimeRange; empty otherwise.
    const std::string& assetName() const { return assetName_; }

    // cannotInsertTimeRange("clip.mov"), noPlayableClips, ...
    const char* what() const noexcept override { return description_.c_str(); }
    std::string userMessage() const;

private:
    CompositionBuilderError(Kind kind, std::string assetName);

    Kind kind_;
    std::string assetName_;
    std::string description_;
};

} // namespace vexel
