#include "presentation/views/inspectors/EffectInspectorPopover.h"

#include "domain/entities/FilterPreset.h"
#include "presentation/helpers/TimeFormatting.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/inspectors/InspectorBinding.h"
#include "presentation/views/inspectors/InspectorMenu.h"
#include "presentation/views/inspectors/InspectorParts.h"
#include "presentation/views/inspectors/InspectorSlider.h"
#include "presentation/views/inspectors/ReadoutText.h"
#include "presentation/views/inspectors/TransitionTypeTags.h"

#include <QVBoxLayout>

#include <utility>

namespace vexel {

namespace {

constexpr int labelWidth = 60;
constexpr int sliderWidth = 140;
constexpr int readoutWidth = 35;
constexpr int wideReadoutWidth = 40;

using State = EffectInspectorState;

using Field = NumberField<State>;

// A slider row of the effect inspector: labels 60 wide, sliders 140.
SliderRow row(const QString& label, SliderScale scale, int readout, const QString& name,
              InspectorSlider::Readout text) {
    return {label, labelWidth, scale, sliderWidth, readout, name, std::move(text)};
}

QString oneDecimal(double value) {
    return fixedText(value, 1);
}

QString capitalized(std::string_view name) {
    QString text = QString::fromUtf8(name.data(), qsizetype(name.size())).toLower();
    bool wordStart = true;
    for (QChar& c : text) {
        if (wordStart) {
            c = c.toUpper();
        }
        wordStart = c.isSpace();
    }
    return text;
}

std::vector<InspectorMenu::Item> easingItems() {
    return {{QStringLiteral("Linear"), QStringLiteral("linear")},
            {QStringLiteral("Ease In"), QStringLiteral("easeIn")},
            {QStringLiteral("Ease Out"), QStringLiteral("easeOut")},
            {QStringLiteral("In-Out"), QStringLiteral("easeInOut")}};
}

QString tagText(std::string_view tag) {
    return QString::fromUtf8(tag.data(), qsizetype(tag.size()));
}

} // namespace

EffectInspectorPopover::EffectInspectorPopover(std::shared_ptr<EffectInspectorState> state,
                                               const IconRegistry& icons, ApplyAction onApply,
                                               std::function<void()> onDismiss, QWidget* parent)
    : InspectorPopover(480, std::move(onApply), std::move(onDismiss), parent)
    , state_(std::move(state))
    , icons_(icons) {
    State* form = state_.get();
    for (auto signal :
         {&State::opacityChanged, &State::rateChanged, &State::volumeChanged,
          &State::fadeRangeChanged, &State::brightnessChanged, &State::contrastChanged,
          &State::saturationChanged, &State::filterNameChanged, &State::filterIntensityChanged,
          &State::transitionInDurationChanged, &State::transitionInTypeChanged,
          &State::transitionInEasingChanged, &State::transitionOutDurationChanged,
          &State::transitionOutTypeChanged, &State::transitionOutEasingChanged}) {
        connect(form, signal, this, &EffectInspectorPopover::refresh);
    }
    // A removed section leaves the list for good.
    for (auto signal : {&State::showTransitionsChanged, &State::showOpacityChanged,
                        &State::showColorAdjustChanged, &State::showFilterChanged,
                        &State::showSpeedChanged, &State::showVolumeChanged}) {
        connect(form, signal, this, &EffectInspectorPopover::rebuild);
    }
    rebuild();
}

QString EffectInspectorPopover::sectionTitle(EffectSection section) {
    switch (section) {
    case EffectSection::transitions:
        return QStringLiteral("Transitions");
    case EffectSection::opacity:
        return QStringLiteral("Opacity");
    case EffectSection::colorAdjust:
        return QStringLiteral("Color Adjust");
    case EffectSection::filter:
        return QStringLiteral("Filter");
    case EffectSection::speed:
        return QStringLiteral("Speed");
    case EffectSection::volume:
        return QStringLiteral("Volume");
    }
    return {};
}

bool EffectInspectorPopover::hasChanges() const {
    return state_->hasChanges();
}

std::vector<EditCommand> EffectInspectorPopover::buildCommands() const {
    return state_->buildEditCommands();
}

void EffectInspectorPopover::rebuild() {
    const std::vector<EffectSection> sections = state_->appliedSections();
    if (sections.empty()) {
        setContent(nullptr,
                   makeEmptyState(icons_, "camera.filters", QStringLiteral("No effects applied"),
                                  QStringLiteral("Use chat to add effects")));
        return;
    }
    std::vector<QWidget*> views;
    for (EffectSection section : sections) {
        views.push_back(sectionView(section));
    }
    setContent(makeSectionList(views), nullptr);
}

QWidget* EffectInspectorPopover::sectionView(EffectSection section) {
    QWidget* view = makeSection(sectionTitle(section), icons_,
                                [state = state_, section] { state->removeSection(section); });
    switch (section) {
    case EffectSection::transitions:
        addTransitionsSection(view);
        break;
    case EffectSection::opacity:
        addOpacitySection(view);
        break;
    case EffectSection::colorAdjust:
        addColorAdjustSection(view);
        break;
    case EffectSection::filter:
        addFilterSection(view);
        break;
    case EffectSection::speed:
        addSpeedSection(view);
        break;
    case EffectSection::volume:
        addVolumeSection(view);
        break;
    }
    return view;
}

void EffectInspectorPopover::addTransitionsSection(QWidget* section) {
    State* form = state_.get();
    auto* groups = new QWidget(section);
    auto* layout = new QVBoxLayout(groups);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(transitionGroup(QStringLiteral("In"), true));
    layout->addWidget(transitionGroup(QStringLiteral("Out"), false));
    section->layout()->addWidget(groups);
    // Both groups or neither: a side without a transition shows at the
    // slider's low end, ready to be given one.
    const auto update = [form, groups] {
        groups->setVisible(form->transitionInDuration() > 0 || form->transitionOutDuration() > 0);
    };
    follow(form, &State::transitionInDurationChanged, groups, update);
    follow(form, &State::transitionOutDurationChanged, groups, update);
}

QWidget* EffectInspectorPopover::transitionGroup(const QString& label, bool fadeIn) {
    State* form = state_.get();
    auto* group = new QWidget;
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(makeLabel(label, FontStyle::footnote, VexelColors::textMuted, group));

    const Field duration =
        fadeIn ? Field{&State::transitionInDuration, &State::setTransitionInDuration,
                       &State::transitionInDurationChanged}
               : Field{&State::transitionOutDuration, &State::setTransitionOutDuration,
                       &State::transitionOutDurationChanged};
    addSliderRow(group, form, duration,
                 row(QStringLiteral("Duration"), SliderScale(0.1, 5.0, 0.1), readoutWidth,
                     label + QStringLiteral(" duration"),
                     [](double value) { return fixedText(value, 1, QStringLiteral("s")); }));

    std::vector<InspectorMenu::Item> typeItems;
    for (const TransitionTypeItem& item : transitionTypeItems) {
        typeItems.push_back({QString::fromUtf8(item.text), tagText(item.tag)});
    }
    const auto currentType = [form, fadeIn] {
        return fadeIn ? form->transitionInType() : form->transitionOutType();
    };
    auto* type = new InspectorMenu(
        typeItems, 120, QStringLiteral("Type"), [form, fadeIn, currentType](const QString& tag) {
            const TransitionType chosen = transitionTypeFromTag(tag.toStdString(), currentType());
            fadeIn ? form->setTransitionInType(chosen) : form->setTransitionOutType(chosen);
        });
    const auto typeSignal =
        fadeIn ? &State::transitionInTypeChanged : &State::transitionOutTypeChanged;
    follow(form, typeSignal, type,
           [type, currentType] { type->showTag(tagText(transitionTypeTag(currentType()))); });
    layout->addWidget(makeParameterRow(QStringLiteral("Type"), labelWidth, type));

    auto* easing = new InspectorMenu(
        easingItems(), 100, QStringLiteral("Easing"), [form, fadeIn](const QString& tag) {
            const auto curve = easingCurveFromRaw(tag.toStdString());
            if (!curve) {
                return;
            }
            fadeIn ? form->setTransitionInEasing(*curve) : form->setTransitionOutEasing(*curve);
        });
    follow(form, fadeIn ? &State::transitionInEasingChanged : &State::transitionOutEasingChanged,
           easing, [form, fadeIn, easing] {
               easing->showTag(tagText(
                   rawValue(fadeIn ? form->transitionInEasing() : form->transitionOutEasing())));
           });
    layout->addWidget(makeParameterRow(QStringLiteral("Easing"), labelWidth, easing));

    // The direction comes with the type; it is shown, not chosen.
    QLabel* direction = makeLabel({}, FontStyle::caption, VexelColors::textSecondary);
    QWidget* directionRow = makeParameterRow(QStringLiteral("Direction"), labelWidth, direction);
    layout->addWidget(directionRow);
    follow(form, typeSignal, directionRow, [currentType, direction, directionRow] {
        const std::optional<Direction> moving = currentType().direction();
        directionRow->setVisible(moving.has_value());
        direction->setText(moving ? directionTitle(*moving) : QString());
    });
    return group;
}

void EffectInspectorPopover::addOpacitySection(QWidget* section) {
    addSliderRow(section, state_.get(),
                 Field{&State::opacity, &State::setOpacity, &State::opacityChanged},
                 row(QStringLiteral("Value"), SliderScale(0, 1, 0.05), readoutWidth,
                     QStringLiteral("Opacity"), percentReadout));
}

void EffectInspectorPopover::addColorAdjustSection(QWidget* section) {
    State* form = state_.get();
    addSliderRow(
        section, form, Field{&State::brightness, &State::setBrightness, &State::brightnessChanged},
        row(QStringLiteral("Bright"), SliderScale(-1, 1, 0.05), wideReadoutWidth,
            QStringLiteral("Brightness"), [](double value) { return signedFixedText(value, 2); }));
    addSliderRow(section, form,
                 Field{&State::contrast, &State::setContrast, &State::contrastChanged},
                 row(QStringLiteral("Contrast"), SliderScale(0, 4, 0.1), readoutWidth,
                     QStringLiteral("Contrast"), oneDecimal));
    addSliderRow(section, form,
                 Field{&State::saturation, &State::setSaturation, &State::saturationChanged},
                 row(QStringLiteral("Saturate"), SliderScale(0, 4, 0.1), readoutWidth,
                     QStringLiteral("Saturation"), oneDecimal));
}

void EffectInspectorPopover::addFilterSection(QWidget* section) {
    State* form = state_.get();
    // No "none" item: the trash button takes a filter off.
    std::vector<InspectorMenu::Item> presets;
    for (std::string_view name : FilterPreset::supportedNames) {
        presets.push_back({capitalized(name), tagText(name)});
    }
    auto* preset =
        new InspectorMenu(presets, 100, QStringLiteral("Filter"),
                          [form](const QString& tag) { form->setFilterName(tag.toStdString()); });
    follow(form, &State::filterNameChanged, preset,
           [form, preset] { preset->showTag(QString::fromStdString(form->filterName())); });
    section->layout()->addWidget(makeParameterRow(QStringLiteral("Preset"), labelWidth, preset));
    addSliderRow(
        section, form,
        Field{&State::filterIntensity, &State::setFilterIntensity, &State::filterIntensityChanged},
        row(QStringLiteral("Intensity"), SliderScale(0, 1, 0.05), readoutWidth,
            QStringLiteral("Filter intensity"), percentReadout));
}

void EffectInspectorPopover::addSpeedSection(QWidget* section) {
    addSliderRow(section, state_.get(), Field{&State::rate, &State::setRate, &State::rateChanged},
                 row(QStringLiteral("Rate"), SliderScale(0.25, 4, 0.25), wideReadoutWidth,
                     QStringLiteral("Playback speed"),
                     [](double value) { return fixedText(value, 2, QStringLiteral("x")); }));
    section->layout()->addWidget(makeLabel(QStringLiteral("Changes clip duration"),
                                           FontStyle::caption2, VexelColors::textMuted, section));
}

void EffectInspectorPopover::addVolumeSection(QWidget* section) {
    State* form = state_.get();
    addSliderRow(section, form, Field{&State::volume, &State::setVolume, &State::volumeChanged},
                 row(QStringLiteral("Level"), SliderScale(0, 1, 0.05), readoutWidth,
                     QStringLiteral("Volume level"), percentReadout));

    // The fade has no control here: it stays as stored unless the whole
    // section goes.
    QLabel* fade = makeLabel({}, FontStyle::caption2, VexelColors::textSecondary, section);
    section->layout()->addWidget(fade);
    follow(form, &State::fadeRangeChanged, fade, [form, fade] {
        const std::optional<TimeRange>& range = form->fadeRange();
        fade->setVisible(range.has_value());
        if (range) {
            fade->setText(QStringLiteral("Fade: ") +
                          QString::fromStdString(TimeFormatting::standard(range->startTime)) +
                          QStringLiteral(" - ") +
                          QString::fromStdString(TimeFormatting::standard(range->endTime())));
        }
    });
}

} // namespace vexel
