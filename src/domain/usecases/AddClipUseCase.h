#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/MediaLoader.h"
#include "domain/protocols/ProjectRepository.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace vexel {

// Turns a media file into a clip on a track of the requested type.
class AddClipUseCase : public CommandHandler {
public:
    // A project holds at most this many audio tracks.
    static constexpr std::size_t maxAudioTracks = 8;
    // Limits in user-perceived characters.
    static constexpr std::size_t maxTrackNameLength = 100;
    static constexpr std::size_t maxDisplayNameLength = 255;

    AddClipUseCase(std::shared_ptr<MediaLoader> mediaLoader,
                   std::shared_ptr<ProjectRepository> projectRepository)
        : mediaLoader_(std::move(mediaLoader))
        , projectRepository_(std::move(projectRepository)) {}

    // Probes the file first (its errors pass through unchanged, nothing is read
    // or saved then), then places the clip at `at` or after the target track's
    // last clip. A named target track that does not exist is created for audio
    // and falls back to the first track of the type otherwise. The asset's own
    // kind is not consulted: `trackType` wins.
    Project execute(const std::filesystem::path& url, TrackType trackType, std::optional<double> at,
                    const std::optional<std::string>& originalName,
                    const std::optional<std::string>& targetTrackName) const;

    // Without control and format characters, trimmed, at most 100 characters;
    // may be empty.
    static std::string sanitizeTrackName(std::string_view name);
    // Without control and format characters (spaces kept, nothing trimmed), at
    // most 255 characters; absent when nothing is left.
    static std::optional<std::string> sanitizeDisplayName(const std::optional<std::string>& name);

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<MediaLoader> mediaLoader_;
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
