#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/MediaLoader.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace vexel {

// Turns a media file into a clip on a track of the requested type.
class AddClipUseCase : public SingleCaseHandler<EditCommand::AddClip> {
public:
    // A project holds at most this many audio tracks.
    static constexpr std::size_t maxAudioTracks = 8;
    // Limits in user-perceived characters.
    static constexpr std::size_t maxTrackNameLength = 100;
    static constexpr std::size_t maxDisplayNameLength = 255;

    explicit AddClipUseCase(std::shared_ptr<MediaLoader> mediaLoader)
        : mediaLoader_(std::move(mediaLoader)) {}

    // Probes the file. Its errors pass through unchanged; it runs before the
    // project is looked at, so a file that cannot be read changes nothing.
    MediaAsset loadAsset(const std::filesystem::path& url) const;

    // Places the probed file as a clip at `at` or after the target track's last
    // clip. A named target track that does not exist is created for audio and
    // falls back to the first track of the type otherwise. The asset's own kind
    // is not consulted: `trackType` wins. The clip is named after the file when
    // no display name is given, with bytes that are not UTF-8 replaced.
    Project applyTo(Project project, const MediaAsset& asset, TrackType trackType,
                    std::optional<double> at, const std::optional<std::string>& originalName,
                    const std::optional<std::string>& targetTrackName) const;

    // The file an add-clip command names: its asset name taken as a path and
    // made absolute against the working folder, so that the clip keeps finding
    // its media when the working folder changes.
    static std::filesystem::path fileOf(const std::string& assetName);

    // Without control and format characters, trimmed, at most 100 characters;
    // may be empty.
    static std::string sanitizeTrackName(std::string_view name);
    // Without control and format characters (spaces kept, nothing trimmed), at
    // most 255 characters; absent when nothing is left.
    static std::optional<std::string> sanitizeDisplayName(const std::optional<std::string>& name);

private:
    Project applyCase(const EditCommand::AddClip& add, Project project) const override;

    std::shared_ptr<MediaLoader> mediaLoader_;
};

} // namespace vexel
