#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/EditCommand.h"
#include "foundation/Uuid.h"
#include "presentation/views/kit/EditRunner.h"

#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace vexel {

class AnchoredPopup;
class TimelineViewModel;

// The three inspectors the timeline opens on a clip (its effects, its text,
// its text's animation), one at a time, in a popup beside the timeline. The
// host records which is open for which clip, runs what the form asks for as
// one edit, and closes the popup when the form is done.
class TimelineInspectors {
public:
    enum class Kind { text, textAnimation, effect };

    // What a form reports. `onApply` runs the commands as one batch; then the
    // form calls `onDismiss`, which closes it. `onDelete` (the text form
    // only) removes the clip the form was opened on.
    struct Results {
        std::function<void(std::vector<EditCommand> commands)> onApply;
        std::function<void()> onDismiss;
        std::function<void()> onDelete;
    };

    // Builds the form of an inspector for a clip, wired to `results`; none
    // when there is no form to show.
    using Form = std::function<QWidget*(const Clip& clip, Results results)>;

    struct Forms {
        Form text;
        Form textAnimation;
        Form effect;
    };

    struct OpenInspector {
        Kind kind;
        Uuid clipId;

        friend bool operator==(const OpenInspector&, const OpenInspector&) = default;
    };

    // The popup opens over `anchor`.
    TimelineInspectors(QWidget& anchor, TimelineViewModel& viewModel, EditRunner runner);
    ~TimelineInspectors();
    TimelineInspectors(const TimelineInspectors&) = delete;
    TimelineInspectors& operator=(const TimelineInspectors&) = delete;

    void setForms(Forms forms) { forms_ = std::move(forms); }

    // Closes whatever is open, then opens the inspector of `kind` on `clip`.
    void open(Kind kind, const Clip& clip);
    void close();

    const std::optional<OpenInspector>& openInspector() const { return open_; }
    // What the open inspector's form was given.
    const std::optional<Results>& results() const { return results_; }

    // "Failed to edit text", "Failed to update text animation", "Failed to
    // update effects".
    static const char* applyFailureText(Kind kind);

private:
    Results makeResults(Kind kind, const Clip& clip);

    QWidget& anchor_;
    TimelineViewModel& viewModel_;
    EditRunner runner_;
    Forms forms_;
    std::optional<OpenInspector> open_;
    std::optional<Results> results_;
    QPointer<AnchoredPopup> popup_;
    // Which opening a dismissal belongs to: a form may be dismissed after
    // another has replaced it.
    unsigned generation_ = 0;
};

} // namespace vexel
