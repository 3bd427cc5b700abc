#include "presentation/views/timeline/TextOverlayRow.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/timeline/LaneStyle.h"

#include <utility>

namespace vexel {

TextOverlayRow::TextOverlayRow(QWidget* parent)
    : QWidget(parent)
    , bars_(
          *this,
          [this] {
              auto* bar = new TextOverlayBar(this);
              bar->setBody(bars_.body());
              return bar;
          },
          [this](TextOverlayBar& bar, const Clip& clip) {
              bar.setActions(actions_);
              bar.setTimeAxis(maxDuration_, width());
              bar.setSelected(selectedClipId_ == clip.id);
              bar.setClip(clip);
          }) {
    bars_.setSliverColour(toQColor(VexelColors::trackText));
    setAccessibleName(QStringLiteral("Text overlays"));
}

void TextOverlayRow::setTextClips(const std::vector<Clip>& clips) {
    if (hasClips_ && clips == *bars_.clips()) {
        return;
    }
    hasClips_ = true;
    bars_.setClips(std::make_shared<const std::vector<Clip>>(clips));
}

void TextOverlayRow::setMaxDuration(double maxDuration) {
    if (maxDuration == maxDuration_) {
        return;
    }
    maxDuration_ = maxDuration;
    bars_.setAxis(maxDuration_, width());
}

void TextOverlayRow::setSelectedClipId(const std::optional<Uuid>& clipId) {
    if (clipId == selectedClipId_) {
        return;
    }
    selectedClipId_ = clipId;
    // Laid out again: the selected clip has a bar wherever it is in sight.
    bars_.setSelectedClipId(clipId);
}

void TextOverlayRow::setActions(std::shared_ptr<const TextOverlayActions> actions) {
    actions_ = std::move(actions);
    bars_.forEach([&](TextOverlayBar& bar) { bar.setActions(actions_); });
}

void TextOverlayRow::setSight(std::optional<BarsInView::Columns> sight) {
    bars_.setSight(sight);
}

std::vector<TextOverlayBar*> TextOverlayRow::bars() const {
    return bars_.inOrder();
}

TextOverlayBar* TextOverlayRow::bar(const Uuid& clipId) const {
    return bars_.find(clipId);
}

void TextOverlayRow::paintEvent(QPaintEvent*) {
    paintLaneBackground(*this);
}

void TextOverlayRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    bars_.rowResized(maxDuration_, *event);
}

} // namespace vexel
