#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/EditCommand.h"
#include "foundation/Uuid.h"

#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace vexel {

class AnchoredPopup;
class IconRegistry;
class TextInspectorPopover;

// The text inspector that a click on a text opens over a whole area (the
// preview): at most one, each opening a fresh form made from the clip, which
// replaces an open one and its unapplied edits. The click, Apply and Delete
// leave through the owner's callbacks; Delete closes the inspector before it
// asks.
class TextInspectorHost {
public:
    struct Actions {
        // The click's selection, once the inspector shows it: the text's id,
        // or none for a click beside every text.
        std::function<void(std::optional<Uuid> clipId)> onSelectText;
        // The commands the form built, as one edit.
        std::function<void(std::vector<EditCommand> commands)> onEditText;
        // Delete the text clip the form was made from.
        std::function<void(const Uuid& clipId)> onDeleteText;
    };

    // The inspector opens over `anchor`; `icons` must outlive the host.
    TextInspectorHost(QWidget& anchor, const IconRegistry& icons);
    ~TextInspectorHost();
    TextInspectorHost(const TextInspectorHost&) = delete;
    TextInspectorHost& operator=(const TextInspectorHost&) = delete;

    void setActions(Actions actions) { actions_ = std::move(actions); }

    // A click: on a text, `id` (opens the inspector of that clip among
    // `textClips`); elsewhere, none. None or an id not among them closes it.
    // The owner hears of the same id either way.
    void select(const std::optional<Uuid>& id, const std::vector<Clip>& textClips);
    void close();

    // The form on show; null when closed.
    TextInspectorPopover* form() const;

private:
    void open(const Clip& clip);

    QWidget& anchor_;
    const IconRegistry& icons_;
    Actions actions_;
    QPointer<AnchoredPopup> popup_;
    QPointer<TextInspectorPopover> form_;
    // Which opening a dismissal belongs to: a form may be dismissed after
    // another has replaced it.
    unsigned generation_ = 0;
};

} // namespace vexel
