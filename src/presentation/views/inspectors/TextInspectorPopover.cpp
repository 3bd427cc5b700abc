#include "presentation/views/inspectors/TextInspectorPopover.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/inspectors/FontPickerContent.h"
#include "presentation/views/inspectors/InspectorBinding.h"
#include "presentation/views/inspectors/InspectorMenu.h"
#include "presentation/views/inspectors/InspectorParts.h"
#include "presentation/views/inspectors/ReadoutText.h"
#include "presentation/views/kit/ElidedLabel.h"
#include "presentation/views/kit/IconRegistry.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <utility>

namespace vexel {

namespace {

using State = TextInspectorState;
using Field = NumberField<State>;

constexpr int labelWidth = 50;

QWidget* row(const QString& label, QWidget* content, bool fill = false) {
    return makeParameterRow(label, labelWidth, content, FontStyle::body, fill);
}

QString sizeTag(double size) {
    for (int offered : TextInspectorPopover::fontSizes) {
        if (size == offered) {
            return QString::number(offered);
        }
    }
    return {};
}

std::vector<InspectorMenu::Item> colorItems() {
    std::vector<InspectorMenu::Item> items;
    for (const char* name : TextInspectorPopover::colorNames) {
        QString text = QString::fromLatin1(name);
        text[0] = text[0].toUpper();
        items.push_back({text, QString::fromLatin1(name)});
    }
    return items;
}

QString positionTag(const TextPosition& position) {
    switch (position.kind()) {
    case TextPosition::Kind::top:
        return QStringLiteral("top");
    case TextPosition::Kind::center:
        return QStringLiteral("center");
    case TextPosition::Kind::bottom:
        return QStringLiteral("bottom");
    case TextPosition::Kind::custom:
        return QStringLiteral("custom");
    }
    return {};
}

// The placement a menu tag picks. Custom starts at the frame's centre, but a
// custom point already held stays: the menu cannot show it, only keep it.
std::optional<TextPosition> positionFromTag(const QString& tag, const TextPosition& current) {
    if (tag == QLatin1String("top")) {
        return TextPosition::top();
    }
    if (tag == QLatin1String("center")) {
        return TextPosition::center();
    }
    if (tag == QLatin1String("bottom")) {
        return TextPosition::bottom();
    }
    if (tag == QLatin1String("custom")) {
        return current.isCustom() ? current : TextPosition::custom(0.5, 0.5);
    }
    return std::nullopt;
}

} // namespace

TextInspectorPopover::TextInspectorPopover(std::shared_ptr<TextInspectorState> state,
                                           const IconRegistry& icons, ApplyAction onApply,
                                           std::function<void()> onDismiss,
                                           std::function<void()> onDelete, QWidget* parent)
    : InspectorPopover(450, std::move(onApply), std::move(onDismiss), parent)
    , state_(std::move(state))
    , icons_(icons)
    , onDelete_(std::move(onDelete)) {
    auto* list = new QWidget;
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    addTypography(list);
    addColors(list);
    addLayout(list);
    layout->addStretch();
    setContent(list, nullptr);

    if (onDelete_) {
        QToolButton* trash = makeTrashButton(QStringLiteral("Delete text overlay"), icons_, this);
        trash->setToolTip(QStringLiteral("Delete this text clip"));
        connect(trash, &QToolButton::clicked, this, &TextInspectorPopover::deleteText);
        buttonRow()->insertWidget(0, trash);
        deleteButton_ = trash;
    }

    State* form = state_.get();
    for (auto signal :
         {&State::textChanged, &State::fontSizeChanged, &State::textColorChanged,
          &State::strokeColorChanged, &State::strokeWidthChanged, &State::fontNameChanged,
          &State::boxWidthChanged, &State::positionChanged}) {
        connect(form, signal, this, &TextInspectorPopover::refresh);
    }
    connect(form, &State::showFontPickerChanged, this, &TextInspectorPopover::followFontPicker);
    connect(form, &State::fontSearchTextChanged, this, &TextInspectorPopover::refreshFontPicker);
    connect(form, &State::fontNameChanged, this, &TextInspectorPopover::refreshFontPicker);
    refresh();
}

TextInspectorPopover::~TextInspectorPopover() {
    // The font list goes with the form; its closing must not reach the form.
    if (fontPopup_ != nullptr) {
        fontPopup_->setOnDismiss({});
    }
}

bool TextInspectorPopover::hasChanges() const {
    return state_->hasChanges();
}

std::vector<EditCommand> TextInspectorPopover::buildCommands() const {
    return state_->buildEditCommands();
}

bool TextInspectorPopover::canApply() const {
    return state_->hasChanges() && !state_->textValidationError();
}

void TextInspectorPopover::addTypography(QWidget* list) {
    State* form = state_.get();
    list->layout()->addWidget(
        makeLabel(QStringLiteral("Typography"), FontStyle::headline, VexelColors::textSecondary));

    textField_ = new QLineEdit(list);
    textField_->setPlaceholderText(QStringLiteral("Text"));
    textField_->setAccessibleName(QStringLiteral("Text"));
    connect(textField_, &QLineEdit::textEdited, form,
            [form](const QString& text) { form->setText(text.toStdString()); });
    follow(form, &State::textChanged, textField_, [this, form] {
        const QString text = QString::fromStdString(form->text());
        // Set only when it differs, so that typing keeps its cursor.
        if (textField_->text() != text) {
            textField_->setText(text);
        }
    });
    list->layout()->addWidget(textField_);

    QLabel* message = makeLabel({}, FontStyle::caption, VexelColors::error, list);
    message->setWordWrap(true);
    follow(form, &State::textChanged, message, [form, message] {
        const std::optional<std::string> error = form->textValidationError();
        message->setVisible(error.has_value());
        message->setText(error ? QString::fromStdString(*error) : QString());
    });
    list->layout()->addWidget(message);

    std::vector<InspectorMenu::Item> sizes;
    for (int size : fontSizes) {
        sizes.push_back({QString::number(size), QString::number(size)});
    }
    auto* size = new InspectorMenu(sizes, 80, QStringLiteral("Font size"),
                                   [form](const QString& tag) { form->setFontSize(tag.toInt()); });
    follow(form, &State::fontSizeChanged, size,
           [form, size] { size->showTag(sizeTag(form->fontSize())); });
    list->layout()->addWidget(row(QStringLiteral("Size"), size));
    list->layout()->addWidget(row(QStringLiteral("Font"), makeFontButton(), true));
}

QPushButton* TextInspectorPopover::makeFontButton() {
    State* form = state_.get();
    fontButton_ = new QPushButton;
    fontButton_->setFocusPolicy(Qt::NoFocus);
    fontButton_->setFlat(true);
    fontButton_->setAccessibleName(QStringLiteral("Font"));
    fontButton_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    fontButton_->setStyleSheet(
        QStringLiteral("QPushButton { background: rgba(255, 255, 255, 0.06); border: none;"
                       " border-radius: 6px; }"
                       "QPushButton:pressed { background: rgba(255, 255, 255, 0.12); }"));
    auto* layout = new QHBoxLayout(fontButton_);
    layout->setContentsMargins(8, 4, 8, 4);
    // A family name is shown as written, never as markup.
    fontLabel_ = new ElidedLabel;
    fontLabel_->setFont(vexel::font(FontStyle::caption));
    fontLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(fontLabel_, 1);
    auto* chevron = new QLabel;
    const int side = QFontMetrics(vexel::font(FontStyle::caption2)).height();
    chevron->setPixmap(icons_.pixmap("chevron.down", QSize(side, side),
                                     toQColor(VexelColors::textSecondary), devicePixelRatioF()));
    chevron->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(chevron);
    fontButton_->setMinimumHeight(QFontMetrics(vexel::font(FontStyle::caption)).height() + 8);
    follow(form, &State::fontNameChanged, fontButton_, [this, form] {
        fontLabel_->setText(form->fontName().empty() ? QStringLiteral("System")
                                                     : QString::fromStdString(form->fontName()));
    });
    connect(fontButton_, &QPushButton::clicked, form,
            [form] { form->setShowFontPicker(!form->showFontPicker()); });
    return fontButton_;
}

void TextInspectorPopover::addColors(QWidget* list) {
    State* form = state_.get();
    list->layout()->addWidget(
        makeLabel(QStringLiteral("Color"), FontStyle::headline, VexelColors::textSecondary));

    auto* fill =
        new InspectorMenu(colorItems(), 100, QStringLiteral("Text color"),
                          [form](const QString& tag) { form->setTextColor(tag.toStdString()); });
    follow(form, &State::textColorChanged, fill,
           [form, fill] { fill->showTag(QString::fromStdString(form->textColor())); });
    list->layout()->addWidget(row(QStringLiteral("Color"), fill));

    auto* stroke = new QWidget(list);
    auto* strokeLayout = new QHBoxLayout(stroke);
    strokeLayout->setContentsMargins(0, 0, 0, 0);
    auto* outline =
        new InspectorMenu(colorItems(), 80, QStringLiteral("Stroke color"),
                          [form](const QString& tag) { form->setStrokeColor(tag.toStdString()); });
    follow(form, &State::strokeColorChanged, outline,
           [form, outline] { outline->showTag(QString::fromStdString(form->strokeColor())); });
    strokeLayout->addWidget(outline);
    auto* width = new InspectorSlider(
        SliderScale(0, 10, 0.5), 80, 30, QStringLiteral("Stroke width"),
        [](double value) { return fixedText(value, 1); },
        [form](double value) { form->setStrokeWidth(value); });
    follow(form, &State::strokeWidthChanged, width,
           [form, width] { width->showValue(form->strokeWidth()); });
    strokeLayout->addWidget(width);
    list->layout()->addWidget(row(QStringLiteral("Stroke"), stroke));
}

void TextInspectorPopover::addLayout(QWidget* list) {
    State* form = state_.get();
    list->layout()->addWidget(
        makeLabel(QStringLiteral("Layout"), FontStyle::headline, VexelColors::textSecondary));
    addSliderRow(list, form, Field{&State::boxWidth, &State::setBoxWidth, &State::boxWidthChanged},
                 SliderRow{QStringLiteral("Width"), labelWidth, SliderScale(0.2, 1.0, 0.05), 140,
                           35, QStringLiteral("Box width"), percentReadout, FontStyle::body});

    auto* position =
        new InspectorMenu({{QStringLiteral("Top"), QStringLiteral("top")},
                           {QStringLiteral("Center"), QStringLiteral("center")},
                           {QStringLiteral("Bottom"), QStringLiteral("bottom")},
                           {QStringLiteral("Custom"), QStringLiteral("custom")}},
                          100, QStringLiteral("Position"), [form](const QString& tag) {
                              if (auto chosen = positionFromTag(tag, form->position())) {
                                  form->setPosition(*chosen);
                              }
                          });
    follow(form, &State::positionChanged, position,
           [form, position] { position->showTag(positionTag(form->position())); });
    list->layout()->addWidget(row(QStringLiteral("Pos"), position));
}

void TextInspectorPopover::followFontPicker() {
    if (!state_->showFontPicker()) {
        if (fontPopup_ != nullptr && fontPopup_->isVisible()) {
            fontPopup_->close();
        }
        return;
    }
    if (fontPopup_ == nullptr) {
        State* form = state_.get();
        fontPopup_ = new AnchoredPopup(this);
        auto* layout = new QVBoxLayout(fontPopup_);
        layout->setContentsMargins(0, 0, 0, 0);
        fontPicker_ = new FontPickerContent(
            icons_, [form](const QString& text) { form->setFontSearchText(text); },
            [form](const QString& family) {
                form->setFontName(family.toStdString());
                form->setFontSearchText(QString());
                form->setShowFontPicker(false);
            },
            fontPopup_);
        layout->addWidget(fontPicker_);
        // Closed any other way (Escape, a click elsewhere): the font and the
        // search stay as they are.
        fontPopup_->setOnDismiss([form] { form->setShowFontPicker(false); });
    }
    refreshFontPicker();
    if (!fontPopup_->isVisible()) {
        fontPopup_->showAnchored(fontButton_, fontButton_->rect());
        fontPicker_->searchField()->setFocus();
    }
}

void TextInspectorPopover::refreshFontPicker() {
    if (fontPicker_ == nullptr || !state_->showFontPicker()) {
        return;
    }
    fontPicker_->showFamilies(state_->fontSearchText(), state_->filteredFontFamilies(),
                              QString::fromStdString(state_->fontName()));
}

void TextInspectorPopover::deleteText() {
    if (onDelete_) {
        // The owner may close the popup from here: call a copy.
        const std::function<void()> onDelete = onDelete_;
        onDelete();
    }
    dismiss();
}

} // namespace vexel
