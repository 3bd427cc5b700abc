#include "presentation/helpers/TutorialStep.h"

#include <utility>

namespace vexel {

namespace {

constexpr double splitTime = 3.0;
constexpr double fadeInDuration = 0.3;
constexpr double titleDuration = 3.0;

std::string text(const StringTable& strings, std::string_view key) {
    return strings.localized(key);
}

} // namespace

std::optional<TutorialStep> tutorialStep(int rawValue) {
    if (!(0 <= rawValue && rawValue < static_cast<int>(allTutorialSteps.size()))) {
        return std::nullopt;
    }
    return allTutorialSteps[static_cast<std::size_t>(rawValue)];
}

std::vector<EditCommand> tutorialSplitCommands(const Project& project) {
    const std::vector<Clip> videoClips = project.videoClips();
    if (videoClips.empty()) {
        return {};
    }
    return {EditCommand::Split{videoClips.front().id, splitTime}};
}

std::vector<EditCommand> tutorialFadeInCommands(const Project& project) {
    const std::vector<Clip> videoClips = project.videoClips();
    if (videoClips.empty()) {
        return {};
    }
    return {EditCommand::Transition{videoClips.front().id, fadeInDuration, std::nullopt,
                                    std::nullopt, std::nullopt}};
}

std::vector<EditCommand> tutorialAddTextCommands(const StringTable& strings) {
    EditCommand::AddText add;
    add.text = text(strings, "addText.videoText");
    add.at = 0;
    add.duration = titleDuration;
    add.position = TextPosition::center();
    return {add};
}

std::map<TutorialStep, TutorialStepConfig> TutorialStepConfig::configs(const StringTable& strings) {
    const auto t = [&strings](std::string_view key) { return text(strings, key); };
    std::map<TutorialStep, TutorialStepConfig> table;
    table[TutorialStep::welcome] = {t("welcome.guidance"), std::nullopt, std::nullopt,
                                    std::nullopt,          nullptr,      "hand.wave.fill"};
    table[TutorialStep::splitChat] = {t("split.guidance"),   t("split.prefill"),
                                      t("split.bonusHint"),  std::nullopt,
                                      tutorialSplitCommands, "text.bubble.fill"};
    table[TutorialStep::fadeInChat] = {t("fadeIn.guidance"),   t("fadeIn.prefill"),
                                       t("fadeIn.bonusHint"),  std::nullopt,
                                       tutorialFadeInCommands, "text.bubble.fill"};
    // The title comes from the same table as the step's other texts.
    table[TutorialStep::addTextChat] = {
        t("addText.guidance"),
        t("addText.prefill"),
        std::nullopt,
        std::nullopt,
        [strings](const Project&) { return tutorialAddTextCommands(strings); },
        "text.bubble.fill"};
    table[TutorialStep::exportVideo] = {
        t("export.guidance"),      t("export.prefill"), std::nullopt, std::nullopt, nullptr,
        "square.and.arrow.up.fill"};
    table[TutorialStep::exploreHint] = {t("explore.guidance"),
                                        t("explore.prefill"),
                                        std::nullopt,
                                        t("explore.hardcodedResponse"),
                                        nullptr,
                                        "text.bubble.fill"};
    return table;
}

TutorialStepConfig TutorialStepConfig::of(TutorialStep step, const StringTable& strings) {
    std::map<TutorialStep, TutorialStepConfig> table = configs(strings);
    const auto entry = table.find(step);
    if (entry == table.end()) {
        return {"", std::nullopt, std::nullopt, std::nullopt, nullptr, "text.bubble.fill"};
    }
    return std::move(entry->second);
}

} // namespace vexel
