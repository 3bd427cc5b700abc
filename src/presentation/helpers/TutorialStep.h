#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/Project.h"
#include "presentation/helpers/StringTable.h"
#include "presentation/helpers/TutorialStrings.h"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vexel {

// The steps of the guided tutorial, in the order they are taken.
enum class TutorialStep {
    welcome = 0,
    splitChat = 1,
    fadeInChat = 2,
    addTextChat = 3,
    exportVideo = 4,
    exploreHint = 5,
    complete = 6,
};

inline constexpr std::array<TutorialStep, 7> allTutorialSteps{
    TutorialStep::welcome,     TutorialStep::splitChat,   TutorialStep::fadeInChat,
    TutorialStep::addTextChat, TutorialStep::exportVideo, TutorialStep::exploreHint,
    TutorialStep::complete};

constexpr int rawValue(TutorialStep step) {
    return static_cast<int>(step);
}

// The step of that number; none outside 0 ... 6.
std::optional<TutorialStep> tutorialStep(int rawValue);

// What one step shows and does. The texts come from the "Tutorial" table at
// the moment the configuration is made.
struct TutorialStepConfig {
    // The edits a chat step applies to the project as it is then; an empty
    // list when the project lacks what they need.
    using CommandBuilder = std::function<std::vector<EditCommand>(const Project&)>;

    std::string guidanceText;
    std::optional<std::string> prefillText;
    // A further reply typed into the chat after the step's own.
    std::optional<std::string> bonusHint;
    // The fixed reply of a step without edits.
    std::optional<std::string> hardcodedResponse;
    CommandBuilder commandBuilder;
    // The system symbol of the step's card.
    std::string iconName;

    // Every step's configuration but that of `complete`, made anew on each call.
    static std::map<TutorialStep, TutorialStepConfig>
    configs(const StringTable& strings = tutorialStrings());

    // The step's entry of configs(); for a step without one, an empty guidance
    // text and the icon "text.bubble.fill".
    static TutorialStepConfig of(TutorialStep step, const StringTable& strings = tutorialStrings());
};

// The edits of the chat steps: split the first video clip at 3 s, fade it in
// over 0.3 s (nothing without a video clip), and add the title text for the
// first 3 s in the centre (whatever the project holds).
std::vector<EditCommand> tutorialSplitCommands(const Project& project);
std::vector<EditCommand> tutorialFadeInCommands(const Project& project);
std::vector<EditCommand> tutorialAddTextCommands(const StringTable& strings = tutorialStrings());

} // namespace vexel
