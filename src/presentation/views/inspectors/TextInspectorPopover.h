#pragma once

#include "presentation/viewmodels/TextInspectorState.h"
#include "presentation/views/inspectors/InspectorPopover.h"
#include "presentation/views/kit/AnchoredPopup.h"

#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <functional>
#include <memory>

namespace vexel {

class FontPickerContent;
class IconRegistry;
class ElidedLabel;

// The popup in which the user edits one text overlay: its text, size, font
// (from a searchable list in a popup of its own), colours, outline, box width
// and placement. Every control writes straight into the form; nothing reaches
// the project before Apply, which needs a change and an acceptable text.
// With `onDelete`, a trash button asks the owner to delete the text clip.
class TextInspectorPopover : public InspectorPopover {
    Q_OBJECT

public:
    // The sizes, colour names and placements the menus offer, in menu order.
    static constexpr std::array<int, 7> fontSizes = {24, 36, 48, 64, 72, 96, 128};
    static constexpr std::array<const char*, 10> colorNames = {
        "white", "black", "red", "yellow", "blue", "green", "orange", "purple", "pink", "gray"};

    TextInspectorPopover(std::shared_ptr<TextInspectorState> state, const IconRegistry& icons,
                         ApplyAction onApply, std::function<void()> onDismiss,
                         std::function<void()> onDelete = {}, QWidget* parent = nullptr);
    ~TextInspectorPopover() override;

    TextInspectorState& state() const { return *state_; }

    QLineEdit* textField() const { return textField_; }
    QPushButton* fontButton() const { return fontButton_; }
    // The font list and the popup it opens in, while the list is open.
    AnchoredPopup* fontPopup() const { return fontPopup_; }
    FontPickerContent* fontPicker() const { return fontPicker_; }
    // Null without `onDelete`.
    QAbstractButton* deleteButton() const { return deleteButton_; }

protected:
    bool hasChanges() const override;
    std::vector<EditCommand> buildCommands() const override;
    bool canApply() const override;

private:
    void addTypography(QWidget* list);
    void addColors(QWidget* list);
    void addLayout(QWidget* list);
    QPushButton* makeFontButton();
    // Opens or closes the font list as the form asks.
    void followFontPicker();
    void refreshFontPicker();
    void deleteText();

    std::shared_ptr<TextInspectorState> state_;
    const IconRegistry& icons_;
    std::function<void()> onDelete_;
    QLineEdit* textField_ = nullptr;
    QPushButton* fontButton_ = nullptr;
    ElidedLabel* fontLabel_ = nullptr;
    AnchoredPopup* fontPopup_ = nullptr;
    FontPickerContent* fontPicker_ = nullptr;
    QAbstractButton* deleteButton_ = nullptr;
};

} // namespace vexel
