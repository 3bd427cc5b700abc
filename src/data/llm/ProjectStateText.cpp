#include "data/llm/ProjectStateText.h"

#include "data/llm/PromptBuilder.h"
#include "data/llm/TextElision.h"
#include "foundation/NumberText.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vexel {

namespace {

// More than any note of a run left out takes: two counts and two times in
// their longest forms.
constexpr std::size_t kNoteBytes = 160;
// The same for the closing note, and the message object's own keys.
constexpr std::size_t kClosingNoteBytes = 3 * kNoteBytes;
constexpr std::size_t kMessageKeysBytes = 64;

std::size_t textBytes(std::string_view text) {
    return PromptBuilder::requestBytes(Json(std::string(text))) - 2;
}

std::string counted(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// The instruction, with its start and end when it would take more than its share.
std::string boundedInstruction(std::string_view instruction) {
    std::size_t characters = PromptBuilder::maxInstructionBytes;
    std::string text(instruction);
    while (textBytes(text) > PromptBuilder::maxInstructionBytes && characters > 1) {
        text = elidedText(instruction, characters);
        characters /= 2;
    }
    return text;
}

// A run of lines left out, in the place where they would stand.
class LeftOutRun {
public:
    void add(const TimeRange& range) {
        from_ = count_ == 0 ? range.startTime : std::min(from_, range.startTime);
        to_ = count_ == 0 ? range.startTime + range.duration
                          : std::max(to_, range.startTime + range.duration);
        ++count_;
    }
    // "  (3 clips not listed here, from 12.0s to 20.0s)\n", once per run.
    void close(std::string& text, std::string_view one, std::string_view many) {
        if (count_ > 0) {
            text += "  (" + counted(count_, one, many) + " not listed here, from " +
                    formatNumber(from_) + "s to " + formatNumber(to_) + "s)\n";
        }
        count_ = 0;
    }

private:
    std::size_t count_ = 0;
    double from_ = 0;
    double to_ = 0;
};

// One line that may be left out, and how near it lies to what the
// instruction most likely means: its distance in time, and how many lines of
// its own track (or of the overlays) lie nearer.
struct Candidate {
    double distance = 0;
    std::size_t nearer = 0;
    bool overlay = false;
    std::size_t order = 0;
    std::size_t track = 0; // in the project's tracks; overlays: none
    std::size_t index = 0; // in its track, or in the text overlays
};

} // namespace

ProjectStateText::ProjectStateText(const Project& project,
                                   const std::optional<Uuid>& selectedClipId)
    : project_(project)
    , selectedClipId_(selectedClipId) {}

std::string ProjectStateText::rendered(std::string_view instruction, std::size_t maxBytes,
                                       std::size_t leftOutMessages) const {
    const std::vector<Track>& tracks = project_.tracks;
    const std::vector<Clip> overlays = project_.textClips();
    const auto isSelected = [this](const Clip& clip) {
        return selectedClipId_ && *selectedClipId_ == clip.id;
    };
    bool anyClip = false;
    for (const Track& track : tracks) {
        anyClip = anyClip || (track.type != TrackType::text && !track.clips.empty());
    }

    std::string tail;
    if (leftOutMessages > 0) {
        tail += "\n(" + counted(leftOutMessages, "earlier message", "earlier messages") +
                " of this conversation left out to keep this request small.)\n";
    }
    tail += "\nInstruction: " + boundedInstruction(instruction);

    // What always goes, with room for the notes of the runs around what each
    // track shows; the lines share the rest.
    const std::size_t fixed =
        textBytes("Current project state:\n") + (anyClip ? 0 : textBytes("(empty timeline)\n")) +
        (overlays.empty() ? 0 : textBytes("\nText overlays:\n")) + textBytes(tail) +
        kClosingNoteBytes + 4 * kNoteBytes + kMessageKeysBytes;
    std::size_t room = maxBytes > fixed ? maxBytes - fixed : 0;

    // What is shown, and in which order it was taken, so that the last taken
    // go first should the notes need more room than was kept for them.
    std::vector<std::optional<std::string>> headers(tracks.size());
    std::vector<std::vector<std::optional<std::string>>> lines(tracks.size());
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        lines[t].resize(tracks[t].clips.size());
    }
    std::vector<std::optional<std::string>> overlayLines(overlays.size());
    std::vector<std::optional<std::string>*> taken;
    const auto take = [&](std::optional<std::string>& slot, std::string line, std::size_t extra) {
        const std::size_t cost = textBytes(line) + extra;
        if (cost > room) {
            return false;
        }
        room -= cost;
        slot = std::move(line);
        taken.push_back(&slot);
        return true;
    };
    const auto takeHeader = [&](std::size_t t) {
        return headers[t] || take(headers[t], "\n" + PromptBuilder::elided(tracks[t].name) + ":\n",
                                  2 * kNoteBytes);
    };

    // The selected clip with its track, then the tracks (in at most half of
    // what is left), then the rest by how near they lie to the selection.
    std::optional<double> focus;
    for (std::size_t t = 0; t < tracks.size() && !focus; ++t) {
        if (tracks[t].type == TrackType::text) {
            continue;
        }
        for (std::size_t c = 0; c < tracks[t].clips.size(); ++c) {
            const Clip& clip = tracks[t].clips[c];
            if (isSelected(clip)) {
                focus = clip.timeRange.startTime;
                if (takeHeader(t)) {
                    take(lines[t][c], PromptBuilder::formatClipContext(clip, true), 0);
                }
                break;
            }
        }
    }
    for (std::size_t o = 0; o < overlays.size() && !focus; ++o) {
        if (isSelected(overlays[o])) {
            focus = overlays[o].timeRange.startTime;
            take(overlayLines[o], PromptBuilder::formatTextClipContext(overlays[o], true), 0);
        }
    }
    const std::size_t kept = room / 2;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        if (tracks[t].type != TrackType::text && (room < kept || !takeHeader(t))) {
            break;
        }
    }

    std::vector<Candidate> candidates;
    const double from = focus.value_or(0.0);
    const auto byDistance = [](const Candidate& a, const Candidate& b) {
        return a.distance != b.distance ? a.distance < b.distance : a.order < b.order;
    };
    // Each track's lines, and the overlays', counted from the nearest.
    const auto rankFrom = [&](std::size_t first) {
        std::sort(candidates.begin() + static_cast<std::ptrdiff_t>(first), candidates.end(),
                  byDistance);
        for (std::size_t i = first; i < candidates.size(); ++i) {
            candidates[i].nearer = i - first;
        }
    };
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        if (tracks[t].type == TrackType::text || !headers[t]) {
            continue;
        }
        const std::size_t first = candidates.size();
        for (std::size_t c = 0; c < tracks[t].clips.size(); ++c) {
            if (!lines[t][c]) {
                candidates.push_back({std::fabs(tracks[t].clips[c].timeRange.startTime - from), 0,
                                      false, candidates.size(), t, c});
            }
        }
        rankFrom(first);
    }
    const std::size_t firstOverlay = candidates.size();
    for (std::size_t o = 0; o < overlays.size(); ++o) {
        if (!overlayLines[o]) {
            candidates.push_back({std::fabs(overlays[o].timeRange.startTime - from), 0, true,
                                  candidates.size(), 0, o});
        }
    }
    rankFrom(firstOverlay);
    // The nearest line of every track and of the overlays, then the next
    // nearest of each, and so on: every track shows the stretch of time
    // around the selection, however crowded another is.
    std::sort(candidates.begin(), candidates.end(), [&](const Candidate& a, const Candidate& b) {
        return a.nearer != b.nearer ? a.nearer < b.nearer : byDistance(a, b);
    });
    // Up to the first that does not fit, so that what each track shows is
    // one stretch, and the notes say what lies on either side.
    for (const Candidate& candidate : candidates) {
        const bool fits =
            candidate.overlay
                ? take(overlayLines[candidate.index],
                       PromptBuilder::formatTextClipContext(overlays[candidate.index], false), 0)
                : take(lines[candidate.track][candidate.index],
                       PromptBuilder::formatClipContext(
                           tracks[candidate.track].clips[candidate.index], false),
                       0);
        if (!fits) {
            break;
        }
    }

    const auto assembled = [&] {
        std::string text = "Current project state:\n";
        std::size_t leftOutClips = 0;
        std::size_t leftOutOverlays = 0;
        std::size_t leftOutTracks = 0;
        std::size_t allLeftOutTracks = 0;
        std::size_t clipsOfLeftOutTracks = 0;
        const auto closeTracks = [&] {
            allLeftOutTracks += leftOutTracks;
            if (leftOutTracks > 0) {
                text += "\n(" + counted(leftOutTracks, "track", "tracks") + " with " +
                        counted(clipsOfLeftOutTracks, "clip", "clips") + " not listed here)\n";
            }
            leftOutClips += clipsOfLeftOutTracks;
            leftOutTracks = 0;
            clipsOfLeftOutTracks = 0;
        };
        for (std::size_t t = 0; t < tracks.size(); ++t) {
            if (tracks[t].type == TrackType::text) {
                continue;
            }
            if (!headers[t]) {
                ++leftOutTracks;
                clipsOfLeftOutTracks += tracks[t].clips.size();
                continue;
            }
            closeTracks();
            text += *headers[t];
            LeftOutRun run;
            for (std::size_t c = 0; c < tracks[t].clips.size(); ++c) {
                if (lines[t][c]) {
                    run.close(text, "clip", "clips");
                    text += *lines[t][c];
                } else {
                    run.add(tracks[t].clips[c].timeRange);
                    ++leftOutClips;
                }
            }
            run.close(text, "clip", "clips");
        }
        closeTracks();
        if (!anyClip) {
            text += "(empty timeline)\n";
        }
        if (!overlays.empty()) {
            text += "\nText overlays:\n";
            LeftOutRun run;
            for (std::size_t o = 0; o < overlays.size(); ++o) {
                if (overlayLines[o]) {
                    run.close(text, "text overlay", "text overlays");
                    text += *overlayLines[o];
                } else {
                    run.add(overlays[o].timeRange);
                    ++leftOutOverlays;
                }
            }
            run.close(text, "text overlay", "text overlays");
        }
        if (leftOutClips + leftOutOverlays > 0) {
            std::string what;
            if (leftOutClips > 0) {
                what = counted(leftOutClips, "clip", "clips");
            }
            if (leftOutOverlays > 0) {
                what += (what.empty() ? "" : " and ") +
                        counted(leftOutOverlays, "text overlay", "text overlays");
            }
            const bool one = leftOutClips + leftOutOverlays == 1;
            text +=
                "\n(To keep this request small, " + what + (one ? " is" : " are") +
                " not listed: the farthest in " +
                (focus ? "time from the selected clip" : "time from the start of the timeline") +
                (allLeftOutTracks == 0
                     ? std::string()
                     : ", and those of the last " + counted(allLeftOutTracks, "track", "tracks")) +
                ". " + (one ? "It is" : "They are") +
                " still in the project, and can be edited when named exactly.)\n";
        }
        return text + tail;
    };
    // Lines taken out of order (a track whose clips are not in time order)
    // leave more runs, each with its note: the last taken make room for them.
    std::string text = assembled();
    while (textBytes(text) + kMessageKeysBytes > maxBytes && !taken.empty()) {
        for (std::size_t drop = std::max<std::size_t>(1, taken.size() / 10);
             drop > 0 && !taken.empty(); --drop) {
            taken.back()->reset();
            taken.pop_back();
        }
        text = assembled();
    }
    return text;
}

} // namespace vexel
