#pragma once

#include "domain/entities/EditCommand.h"

#include <QFrame>
#include <QPushButton>
#include <QScrollArea>

#include <functional>
#include <vector>

class QHBoxLayout;
class QVBoxLayout;

namespace vexel {

class IconRegistry;

// The frame the inspectors share, shown by its owner in an anchored popup:
// 320 wide, inset 16, a list of sections that scrolls beyond a fixed height
// (or an empty state in its place), and under it a row of Cancel (Escape) and
// Apply (Return) at the trailing edge. Apply hands the form's commands to the
// owner, only when there are changes, then asks to be closed; Cancel only asks
// to be closed. It asks once (`onDismiss`); the owner closes the popup there
// and deletes it later (deleteLater), never inside a callback. A popup closed
// from outside (a click elsewhere) is the owner's to handle.
class InspectorPopover : public QFrame {
    Q_OBJECT

public:
    using ApplyAction = std::function<void(std::vector<EditCommand>)>;

    static constexpr int popoverWidth = 320;

    // Applies as the Apply button does, when it is enabled.
    void apply();
    // Asks to be closed without applying.
    void cancel();

    QPushButton* applyButton() const { return applyButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

protected:
    InspectorPopover(int maxListHeight, ApplyAction onApply, std::function<void()> onDismiss,
                     QWidget* parent);

    // Whether Apply would change anything, and the commands it then hands over.
    virtual bool hasChanges() const = 0;
    virtual std::vector<EditCommand> buildCommands() const = 0;
    // Whether Apply may be pressed; by default when there are changes.
    virtual bool canApply() const { return hasChanges(); }

    // Puts `content` (the list of sections) in the scroll area, or, when it is
    // null, `empty` in its place. The frame owns both from then on.
    void setContent(QWidget* content, QWidget* empty);
    // Follows the form after any change: Apply's state and the popup's height.
    void refresh();
    // The leading end of the button row, for a button of the inspector's own.
    QHBoxLayout* buttonRow() const { return buttonRow_; }
    // Asks the owner, once, to close the popup.
    void dismiss();

    void keyPressEvent(QKeyEvent* event) override;

private:
    ApplyAction onApply_;
    std::function<void()> onDismiss_;
    bool dismissed_ = false;
    QVBoxLayout* layout_;
    QScrollArea* scrollArea_;
    QWidget* empty_ = nullptr;
    QHBoxLayout* buttonRow_;
    QPushButton* cancelButton_;
    QPushButton* applyButton_;
};

// A vertical scroll area as tall as what it holds, up to a limit, beyond which
// it scrolls.
class FittingScrollArea : public QScrollArea {
    Q_OBJECT

public:
    FittingScrollArea(int maxHeight, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int maxHeight_;
};

} // namespace vexel
