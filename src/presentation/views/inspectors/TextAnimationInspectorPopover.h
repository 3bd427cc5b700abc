#pragma once

#include "presentation/viewmodels/TextAnimationInspectorState.h"
#include "presentation/views/inspectors/InspectorPopover.h"

#include <QString>

#include <functional>
#include <memory>

namespace vexel {

class IconRegistry;

// The popup in which the user edits the entrance, exit and loop a text clip
// already has: each a kind with its direction, easing or loop numbers, and a
// trash button that takes it off; or, without any, a hint to add animations
// through the chat. Every control writes straight into the form; nothing
// reaches the project before Apply.
class TextAnimationInspectorPopover : public InspectorPopover {
    Q_OBJECT

public:
    TextAnimationInspectorPopover(std::shared_ptr<TextAnimationInspectorState> state,
                                  const IconRegistry& icons, ApplyAction onApply,
                                  std::function<void()> onDismiss, QWidget* parent = nullptr);

    TextAnimationInspectorState& state() const { return *state_; }

    // "Entrance", "Exit", "Loop".
    static QString sectionTitle(TextAnimationSection section);

protected:
    bool hasChanges() const override;
    std::vector<EditCommand> buildCommands() const override;

private:
    void rebuild();
    QWidget* sectionView(TextAnimationSection section);
    void addEntrance(QWidget* section);
    void addExit(QWidget* section);
    void addLoop(QWidget* section);

    std::shared_ptr<TextAnimationInspectorState> state_;
    const IconRegistry& icons_;
};

} // namespace vexel
