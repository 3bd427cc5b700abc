#include "presentation/helpers/TutorialStrings.h"

#include <array>

namespace vexel {

namespace {

constexpr auto entries = std::to_array<StringTable::Entry>({
    {"welcome.title", "Welcome to Vexel"},
    {"welcome.body",
     "Edit videos by describing what you want. This short tour tries the chat, the preview and "
     "the timeline on a sample clip."},
    {"welcome.skip", "Skip"},
    {"welcome.getStarted", "Get Started"},
    {"area.chat", "Chat"},
    {"area.preview", "Preview"},
    {"area.timeline", "Timeline"},
    {"complete.title", "You're all set!"},
    {"complete.body",
     "You split, faded, titled and exported a video. Describe any other edit in the chat and "
     "the assistant makes it."},
    {"complete.close", "Start Editing"},
    {"Step %@ of %@", "Step %@ of %@"},
    {"welcome.guidance",
     "Welcome to Vexel! Let's edit a short sample video together. It takes about a minute."},
    {"split.guidance",
     "Tell the assistant what to do in plain words. Send the instruction below to split the "
     "clip."},
    {"split.prefill", "Split the clip at 3 seconds"},
    {"split.bonusHint",
     "Tip: select a clip on the timeline first, and your next instruction is about that clip."},
    {"fadeIn.guidance", "Now make the video start softly with a fade-in."},
    {"fadeIn.prefill", "Add a fade-in to the first clip"},
    {"fadeIn.bonusHint",
     "Tip: every change can be undone with Ctrl+Z, and redone with Ctrl+Shift+Z."},
    {"addText.guidance", "Put a title over the video."},
    {"addText.prefill", "Add the title \"My first edit\" in the center"},
    {"addText.videoText", "My first edit"},
    {"export.guidance", "Your video is ready. Export it as a movie file."},
    {"export.prefill", "Export the video"},
    {"explore.guidance", "That's the whole tour. Ask what else you can do."},
    {"explore.prefill", "What else can I do?"},
    {"explore.hardcodedResponse",
     "You can trim, move and duplicate clips, change speed and volume, add transitions, "
     "filters and colour adjustments, animate text and images, and add audio effects. Just "
     "describe what you want."},
    {"error.sampleVideoNotFound",
     "The tutorial's sample video is missing from this installation, so the tutorial cannot "
     "start."},
    {"error.noClips", "There is no video clip on the timeline yet. Add one and try again."},
});

} // namespace

const StringTable& tutorialStrings() {
    static const StringTable table(entries);
    return table;
}

} // namespace vexel
