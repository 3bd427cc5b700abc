#include "presentation/viewmodels/TextInspectorState.h"

#include "domain/entities/TextStyle.h"
#include "foundation/UnicodeText.h"

#include <cmath>
#include <utility>

namespace vexel {

namespace {

TextStyle referenceStyle(const Clip& clip) {
    return clip.textStyle.value_or(TextStyle::defaultStyle());
}

TextPosition referencePosition(const Clip& clip) {
    return clip.textPosition.value_or(TextPosition::bottom());
}

} // namespace

TextInspectorState::TextInspectorState(Clip clip, QStringList fontFamilies, QObject* parent)
    : QObject(parent)
    , originalClip_(std::move(clip))
    , fontFamilies_(std::move(fontFamilies))
    , text_(originalClip_.assetName, [this] { emit textChanged(); })
    , fontSize_(referenceStyle(originalClip_).fontSize, [this] { emit fontSizeChanged(); })
    , textColor_(referenceStyle(originalClip_).textColor, [this] { emit textColorChanged(); })
    , strokeColor_(referenceStyle(originalClip_).strokeColor, [this] { emit strokeColorChanged(); })
    , strokeWidth_(referenceStyle(originalClip_).strokeWidth, [this] { emit strokeWidthChanged(); })
    , fontName_(referenceStyle(originalClip_).fontName.value_or(std::string()),
                [this] { emit fontNameChanged(); })
    , boxWidth_(referenceStyle(originalClip_).boxWidth.value_or(TextStyle::defaultBoxWidth),
                [this] { emit boxWidthChanged(); })
    , position_(referencePosition(originalClip_), [this] { emit positionChanged(); })
    , fontSearchText_(QString(), [this] { emit fontSearchTextChanged(); })
    , showFontPicker_(false, [this] { emit showFontPickerChanged(); }) {}

std::optional<std::string> TextInspectorState::textValidationError() const {
    if (unicode::trimmingWhitespaceAndNewlines(text()).empty()) {
        return "Text cannot be empty.";
    }
    // The text as typed, white space included, is what would be stored.
    if (text().size() > maxTextBytes) {
        return "Text exceeds 500 byte limit.";
    }
    return std::nullopt;
}

QStringList TextInspectorState::filteredFontFamilies() const {
    const QString& search = fontSearchText();
    if (search.isEmpty()) {
        return fontFamilies_;
    }
    QStringList found;
    for (const QString& family : fontFamilies_) {
        if (!family.isEmpty() && family.contains(search, Qt::CaseInsensitive)) {
            found.append(family);
        }
    }
    return found;
}

std::optional<double> TextInspectorState::formBoxWidth() const {
    const std::optional<double>& stored = referenceStyle(originalClip_).boxWidth;
    // A width the slider cannot tell from the clip's own is the clip's own, so
    // that a stored width near the default is neither rewritten nor dropped.
    if (std::abs(boxWidth() - stored.value_or(TextStyle::defaultBoxWidth)) < boxWidthTolerance) {
        return stored;
    }
    if (std::abs(boxWidth() - TextStyle::defaultBoxWidth) < boxWidthTolerance) {
        return std::nullopt;
    }
    return boxWidth();
}

EditCommand::EditText TextInspectorState::buildEditCommand() const {
    EditCommand::EditText edit;
    edit.textId = originalClip_.id;
    if (text() != originalClip_.assetName) {
        edit.text = text();
    }
    if (position() != referencePosition(originalClip_)) {
        edit.position = position();
    }
    TextStyle style;
    style.fontSize = fontSize();
    style.textColor = textColor();
    style.strokeColor = strokeColor();
    style.strokeWidth = strokeWidth();
    style.fontName = fontName().empty() ? std::nullopt : std::optional(fontName());
    style.boxWidth = formBoxWidth();
    // The style goes whole or not at all: the engine replaces it whole.
    if (style != referenceStyle(originalClip_)) {
        edit.style = std::move(style);
    }
    return edit;
}

bool TextInspectorState::hasChanges() const {
    const EditCommand::EditText edit = buildEditCommand();
    return edit.text || edit.position || edit.style;
}

std::vector<EditCommand> TextInspectorState::buildEditCommands() const {
    EditCommand::EditText edit = buildEditCommand();
    if (!edit.text && !edit.position && !edit.style) {
        return {};
    }
    return {EditCommand(std::move(edit))};
}

} // namespace vexel
