#include "presentation/views/inspectors/TextInspectorHost.h"

#include "presentation/views/inspectors/FontFamilies.h"
#include "presentation/views/inspectors/TextInspectorPopover.h"
#include "presentation/views/kit/AnchoredPopup.h"

#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <utility>

namespace vexel {

TextInspectorHost::TextInspectorHost(QWidget& anchor, const IconRegistry& icons)
    : anchor_(anchor)
    , icons_(icons) {}

TextInspectorHost::~TextInspectorHost() {
    ++generation_;
    if (popup_) {
        popup_->setOnDismiss({});
        delete popup_.data();
    }
}

TextInspectorPopover* TextInspectorHost::form() const {
    return form_.data();
}

void TextInspectorHost::select(const std::optional<Uuid>& id, const std::vector<Clip>& textClips) {
    const auto found = id ? std::find_if(textClips.begin(), textClips.end(),
                                         [&](const Clip& clip) { return clip.id == *id; })
                          : textClips.end();
    if (found != textClips.end()) {
        open(*found);
    } else {
        close();
    }
    if (actions_.onSelectText) {
        actions_.onSelectText(id);
    }
}

void TextInspectorHost::open(const Clip& clip) {
    close();
    const unsigned generation = ++generation_;
    const auto ifCurrent = [this, generation](auto action) {
        return [this, generation, action] {
            if (generation == generation_) {
                action();
            }
        };
    };
    auto* popup = new AnchoredPopup(&anchor_);
    // A click elsewhere closes the form and does what it does with the form
    // closed: beside every text it clears the selection, on a text it opens
    // that text.
    popup->setPassesOutsideClicks(true);
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(0, 0, 0, 0);
    const Uuid clipId = clip.id;
    auto* form = new TextInspectorPopover(
        std::make_shared<TextInspectorState>(clip, installedFontFamilies()), icons_,
        [this](std::vector<EditCommand> commands) {
            if (actions_.onEditText) {
                actions_.onEditText(std::move(commands));
            }
        },
        ifCurrent([this] { close(); }), ifCurrent([this, clipId] {
            // Closed first: the clip is about to go.
            close();
            if (actions_.onDeleteText) {
                actions_.onDeleteText(clipId);
            }
        }));
    layout->addWidget(form);
    // Closed from outside (Escape, a click elsewhere): the form is over.
    popup->setOnDismiss(ifCurrent([this] { close(); }));
    popup_ = popup;
    form_ = form;
    popup->showAnchored(&anchor_, anchor_.rect());
}

void TextInspectorHost::close() {
    ++generation_;
    form_.clear();
    if (AnchoredPopup* popup = popup_.data()) {
        popup_.clear();
        popup->discard();
    }
}

} // namespace vexel
