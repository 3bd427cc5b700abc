#pragma once

#include "domain/entities/EditCommand.h"
#include "presentation/views/kit/AnchoredPopup.h"

#include <functional>

class QAbstractButton;
class QLabel;
class QLineEdit;

namespace vexel {

class AddTextPopoverState;

// The small form in which a new text overlay is typed: the text, a message
// when it is too long, and Cancel and Add. Return adds when Add is enabled.
// It adds nothing itself: Add hands its owner the ready command.
class AddTextPopover : public AnchoredPopup {
    Q_OBJECT

public:
    // The form edits `state`, which its owner keeps from one opening to the
    // next.
    explicit AddTextPopover(AddTextPopoverState& state, QWidget* parent = nullptr);

    void setOnAdd(std::function<void(EditCommand)> onAdd) { onAdd_ = std::move(onAdd); }
    void setOnCancel(std::function<void()> onCancel) { onCancel_ = std::move(onCancel); }

    QLineEdit* field() const { return field_; }
    QLabel* limitMessage() const { return limitMessage_; }
    QAbstractButton* addButton() const { return addButton_; }
    QAbstractButton* cancelButton() const { return cancelButton_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void add();
    void refresh();

    AddTextPopoverState& state_;
    std::function<void(EditCommand)> onAdd_;
    std::function<void()> onCancel_;
    QLineEdit* field_;
    QLabel* limitMessage_;
    QAbstractButton* addButton_;
    QAbstractButton* cancelButton_;
};

} // namespace vexel
