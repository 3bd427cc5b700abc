#pragma once

#include "domain/entities/Clip.h"
#include "foundation/Uuid.h"
#include "presentation/views/timeline/ClipBarSet.h"
#include "presentation/views/timeline/TextOverlayActions.h"
#include "presentation/views/timeline/TextOverlayBar.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace vexel {

// The text lane: a translucent strip with the bars of the text clips, placed
// by time across the lane's whole width. Only the clips in sight have a bar
// (ClipBarSet); bars are kept by clip id as the project changes.
class TextOverlayRow : public QWidget {
    Q_OBJECT

public:
    explicit TextOverlayRow(QWidget* parent = nullptr);

    void setTextClips(const std::vector<Clip>& clips);
    void setMaxDuration(double maxDuration);
    void setSelectedClipId(const std::optional<Uuid>& clipId);
    void setActions(std::shared_ptr<const TextOverlayActions> actions);
    // While held, the bars are laid out only once let go.
    void setLayoutHeld(bool held) { bars_.setHeld(held); }
    // The columns of the lane in sight; none stands for all of them.
    void setSight(std::optional<BarsInView::Columns> sight);

    // The bars in sight, in drawing order.
    std::vector<TextOverlayBar*> bars() const;
    // None when the clip has no bar in sight.
    TextOverlayBar* bar(const Uuid& clipId) const;
    const LaneSlivers& slivers() const { return bars_.slivers(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double maxDuration_ = 1;
    std::optional<Uuid> selectedClipId_;
    std::shared_ptr<const TextOverlayActions> actions_;
    bool hasClips_ = false;
    ClipBarSet<TextOverlayBar> bars_;
};

} // namespace vexel
