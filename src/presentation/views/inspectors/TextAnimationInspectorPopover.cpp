#include "presentation/views/inspectors/TextAnimationInspectorPopover.h"

#include "presentation/views/inspectors/InspectorBinding.h"
#include "presentation/views/inspectors/InspectorMenu.h"
#include "presentation/views/inspectors/InspectorParts.h"
#include "presentation/views/inspectors/ReadoutText.h"
#include "presentation/views/inspectors/TransitionTypeTags.h"

#include <QVBoxLayout>

#include <utility>

namespace vexel {

namespace {

using State = TextAnimationInspectorState;
using Field = NumberField<State>;

constexpr int labelWidth = 50;
constexpr int pickerWidth = 120;
constexpr int sliderWidth = 120;

QString tagText(std::string_view tag) {
    return QString::fromUtf8(tag.data(), qsizetype(tag.size()));
}

QWidget* row(const QString& label, QWidget* content) {
    return makeParameterRow(label, labelWidth, content);
}

const char* entranceTitle(TextEntranceKind kind) {
    switch (kind) {
    case TextEntranceKind::slideIn:
        return "Slide In";
    case TextEntranceKind::scaleIn:
        return "Scale In";
    case TextEntranceKind::popIn:
        return "Pop In";
    case TextEntranceKind::wipeReveal:
        return "Wipe Reveal";
    case TextEntranceKind::bounceIn:
        return "Bounce In";
    case TextEntranceKind::fadeIn:
        return "Fade In";
    }
    return "";
}

const char* exitTitle(TextExitKind kind) {
    switch (kind) {
    case TextExitKind::slideOut:
        return "Slide Out";
    case TextExitKind::scaleOut:
        return "Scale Out";
    case TextExitKind::fadeOut:
        return "Fade Out";
    case TextExitKind::popOut:
        return "Pop Out";
    case TextExitKind::wipeOut:
        return "Wipe Out";
    case TextExitKind::bounceOut:
        return "Bounce Out";
    }
    return "";
}

// "None" first, selecting no kind.
template <class Kind, std::size_t N, class Title>
std::vector<InspectorMenu::Item> kindItems(const std::array<Kind, N>& kinds, Title title) {
    std::vector<InspectorMenu::Item> items{{QStringLiteral("None"), QString()}};
    for (Kind kind : kinds) {
        items.push_back({QString::fromLatin1(title(kind)), tagText(rawValue(kind))});
    }
    return items;
}

std::vector<InspectorMenu::Item> directionItems() {
    std::vector<InspectorMenu::Item> items;
    for (Direction direction : allDirections) {
        items.push_back({directionTitle(direction), tagText(rawValue(direction))});
    }
    return items;
}

// The easings read as their names here, not as words.
std::vector<InspectorMenu::Item> easingItems() {
    std::vector<InspectorMenu::Item> items;
    for (EasingCurve curve : allEasingCurves) {
        items.push_back({tagText(rawValue(curve)), tagText(rawValue(curve))});
    }
    return items;
}

template <class Kind> QString kindTag(const std::optional<Kind>& kind) {
    return kind ? tagText(rawValue(*kind)) : QString();
}

// One of the two moving parts, entrance or exit: its menus, bound to the form.
struct PartBinding {
    QString kindName;
    QString easingName;
    std::vector<InspectorMenu::Item> kinds;
    std::function<QString()> kind;
    std::function<void(const QString&)> setKind;
    // Whether the chosen kind moves in a direction.
    std::function<bool()> moves;
    std::function<Direction()> direction;
    std::function<void(Direction)> setDirection;
    std::function<EasingCurve()> easing;
    std::function<void(EasingCurve)> setEasing;
    void (State::*kindChanged)();
    void (State::*directionChanged)();
    void (State::*easingChanged)();
};

void addPartRows(QWidget* section, State* form, const PartBinding& part) {
    auto* kind = new InspectorMenu(part.kinds, pickerWidth, part.kindName, part.setKind);
    follow(form, part.kindChanged, kind, [kind, part] { kind->showTag(part.kind()); });
    section->layout()->addWidget(row(QStringLiteral("Type"), kind));

    auto* direction = new InspectorMenu(
        directionItems(), pickerWidth, QStringLiteral("Direction"), [part](const QString& tag) {
            if (const auto chosen = directionFromRaw(tag.toStdString())) {
                part.setDirection(*chosen);
            }
        });
    follow(form, part.directionChanged, direction,
           [direction, part] { direction->showTag(tagText(rawValue(part.direction()))); });
    QWidget* directionRow = row(QStringLiteral("Dir"), direction);
    section->layout()->addWidget(directionRow);

    auto* easing =
        new InspectorMenu(easingItems(), pickerWidth, part.easingName, [part](const QString& tag) {
            if (const auto chosen = easingCurveFromRaw(tag.toStdString())) {
                part.setEasing(*chosen);
            }
        });
    follow(form, part.easingChanged, easing,
           [easing, part] { easing->showTag(tagText(rawValue(part.easing()))); });
    QWidget* easingRow = row(QStringLiteral("Ease"), easing);
    section->layout()->addWidget(easingRow);

    // The rows a kind has no use for go; their values stay in the form, so a
    // kind chosen again finds them as they were.
    follow(form, part.kindChanged, section, [part, directionRow, easingRow] {
        const bool chosen = !part.kind().isEmpty();
        directionRow->setVisible(chosen && part.moves());
        easingRow->setVisible(chosen);
    });
}

} // namespace

TextAnimationInspectorPopover::TextAnimationInspectorPopover(
    std::shared_ptr<TextAnimationInspectorState> state, const IconRegistry& icons,
    ApplyAction onApply, std::function<void()> onDismiss, QWidget* parent)
    : InspectorPopover(450, std::move(onApply), std::move(onDismiss), parent)
    , state_(std::move(state))
    , icons_(icons) {
    State* form = state_.get();
    for (auto signal :
         {&State::entranceKindChanged, &State::entranceDirectionChanged, &State::exitKindChanged,
          &State::exitDirectionChanged, &State::loopKindChanged, &State::pulseScaleChanged,
          &State::pulseIntervalChanged, &State::bounceAmplitudeChanged,
          &State::bounceIntervalChanged, &State::entranceEasingChanged,
          &State::exitEasingChanged}) {
        connect(form, signal, this, &TextAnimationInspectorPopover::refresh);
    }
    for (auto signal :
         {&State::showEntranceChanged, &State::showExitChanged, &State::showLoopChanged}) {
        connect(form, signal, this, &TextAnimationInspectorPopover::rebuild);
    }
    rebuild();
}

QString TextAnimationInspectorPopover::sectionTitle(TextAnimationSection section) {
    switch (section) {
    case TextAnimationSection::entrance:
        return QStringLiteral("Entrance");
    case TextAnimationSection::exit:
        return QStringLiteral("Exit");
    case TextAnimationSection::loop:
        return QStringLiteral("Loop");
    }
    return {};
}

bool TextAnimationInspectorPopover::hasChanges() const {
    return state_->hasChanges();
}

std::vector<EditCommand> TextAnimationInspectorPopover::buildCommands() const {
    return state_->buildEditCommands();
}

void TextAnimationInspectorPopover::rebuild() {
    const std::vector<TextAnimationSection> sections = state_->appliedSections();
    if (sections.empty()) {
        setContent(nullptr,
                   makeEmptyState(icons_, "wand.and.stars", QStringLiteral("No animations applied"),
                                  QStringLiteral("Use chat to add animations")));
        return;
    }
    std::vector<QWidget*> views;
    for (TextAnimationSection section : sections) {
        views.push_back(sectionView(section));
    }
    setContent(makeSectionList(views), nullptr);
}

QWidget* TextAnimationInspectorPopover::sectionView(TextAnimationSection section) {
    QWidget* view = makeSection(sectionTitle(section), icons_,
                                [state = state_, section] { state->removeSection(section); });
    switch (section) {
    case TextAnimationSection::entrance:
        addEntrance(view);
        break;
    case TextAnimationSection::exit:
        addExit(view);
        break;
    case TextAnimationSection::loop:
        addLoop(view);
        break;
    }
    return view;
}

void TextAnimationInspectorPopover::addEntrance(QWidget* section) {
    State* form = state_.get();
    addPartRows(section, form,
                PartBinding{QStringLiteral("Entrance"), QStringLiteral("Entrance easing"),
                            kindItems(allTextEntranceKinds, entranceTitle),
                            [form] { return kindTag(form->entranceKind()); },
                            [form](const QString& tag) {
                                form->setEntranceKind(textEntranceKindFromRaw(tag.toStdString()));
                            },
                            [form] {
                                return form->entranceKind() &&
                                       needsDirection(*form->entranceKind());
                            },
                            [form] { return form->entranceDirection(); },
                            [form](Direction direction) { form->setEntranceDirection(direction); },
                            [form] { return form->entranceEasing(); },
                            [form](EasingCurve easing) { form->setEntranceEasing(easing); },
                            &State::entranceKindChanged, &State::entranceDirectionChanged,
                            &State::entranceEasingChanged});
}

void TextAnimationInspectorPopover::addExit(QWidget* section) {
    State* form = state_.get();
    addPartRows(
        section, form,
        PartBinding{
            QStringLiteral("Exit"), QStringLiteral("Exit easing"),
            kindItems(allTextExitKinds, exitTitle), [form] { return kindTag(form->exitKind()); },
            [form](const QString& tag) {
                form->setExitKind(textExitKindFromRaw(tag.toStdString()));
            },
            [form] { return form->exitKind() && needsDirection(*form->exitKind()); },
            [form] { return form->exitDirection(); },
            [form](Direction direction) { form->setExitDirection(direction); },
            [form] { return form->exitEasing(); },
            [form](EasingCurve easing) { form->setExitEasing(easing); }, &State::exitKindChanged,
            &State::exitDirectionChanged, &State::exitEasingChanged});
}

void TextAnimationInspectorPopover::addLoop(QWidget* section) {
    State* form = state_.get();
    auto* kind =
        new InspectorMenu(kindItems(allTextLoopKinds,
                                    [](TextLoopKind loop) {
                                        return loop == TextLoopKind::pulse ? "Pulse" : "Bounce";
                                    }),
                          pickerWidth, QStringLiteral("Loop"), [form](const QString& tag) {
                              form->setLoopKind(textLoopKindFromRaw(tag.toStdString()));
                          });
    follow(form, &State::loopKindChanged, kind,
           [form, kind] { kind->showTag(kindTag(form->loopKind())); });
    section->layout()->addWidget(row(QStringLiteral("Type"), kind));

    const auto seconds = [](double value) { return fixedText(value, 1, QStringLiteral("s")); };
    auto* pulse = new QWidget(section);
    pulse->setLayout(new QVBoxLayout);
    pulse->layout()->setContentsMargins(0, 0, 0, 0);
    pulse->layout()->setSpacing(8);
    addSliderRow(
        pulse, form, Field{&State::pulseScale, &State::setPulseScale, &State::pulseScaleChanged},
        SliderRow{QStringLiteral("Scale"), labelWidth, SliderScale(1.0, 2.0, 0.1), sliderWidth, 30,
                  QStringLiteral("Pulse scale"), [](double value) { return fixedText(value, 1); }});
    addSliderRow(
        pulse, form,
        Field{&State::pulseInterval, &State::setPulseInterval, &State::pulseIntervalChanged},
        SliderRow{QStringLiteral("Rate"), labelWidth, SliderScale(0.2, 5.0, 0.1), sliderWidth, 35,
                  QStringLiteral("Pulse interval"), seconds});
    section->layout()->addWidget(pulse);

    auto* bounce = new QWidget(section);
    bounce->setLayout(new QVBoxLayout);
    bounce->layout()->setContentsMargins(0, 0, 0, 0);
    bounce->layout()->setSpacing(8);
    addSliderRow(
        bounce, form,
        Field{&State::bounceAmplitude, &State::setBounceAmplitude, &State::bounceAmplitudeChanged},
        SliderRow{QStringLiteral("Amp"), labelWidth, SliderScale(0.01, 0.5, 0.01), sliderWidth, 35,
                  QStringLiteral("Bounce amplitude"),
                  [](double value) { return fixedText(value, 2); }});
    addSliderRow(
        bounce, form,
        Field{&State::bounceInterval, &State::setBounceInterval, &State::bounceIntervalChanged},
        SliderRow{QStringLiteral("Rate"), labelWidth, SliderScale(0.1, 3.0, 0.1), sliderWidth, 35,
                  QStringLiteral("Bounce interval"), seconds});
    section->layout()->addWidget(bounce);

    follow(form, &State::loopKindChanged, section, [form, pulse, bounce] {
        pulse->setVisible(form->loopKind() == TextLoopKind::pulse);
        bounce->setVisible(form->loopKind() == TextLoopKind::bounce);
    });
}

} // namespace vexel
