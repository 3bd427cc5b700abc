#include "presentation/views/timeline/TextOverlayRow.h"

#include "presentation/views/timeline/LaneStyle.h"

#include <utility>

namespace vexel {

TextOverlayRow::TextOverlayRow(QWidget* parent)
    : QWidget(parent) {
    setAccessibleName(QStringLiteral("Text overlays"));
}

void TextOverlayRow::setTextClips(const std::vector<Clip>& clips) {
    bars_.sync(
        clips,
        [&] {
            auto* bar = new TextOverlayBar(this);
            bar->setActions(actions_);
            bar->setTimeAxis(maxDuration_, width());
            bar->show();
            return bar;
        },
        [&](TextOverlayBar& bar, const Clip& clip) {
            bar.setSelected(selectedClipId_ == clip.id);
            bar.setClip(clip);
        });
}

void TextOverlayRow::setMaxDuration(double maxDuration) {
    if (maxDuration == maxDuration_) {
        return;
    }
    maxDuration_ = maxDuration;
    bars_.forEach([&](TextOverlayBar& bar) { bar.setTimeAxis(maxDuration_, width()); });
}

void TextOverlayRow::setSelectedClipId(const std::optional<Uuid>& clipId) {
    if (clipId == selectedClipId_) {
        return;
    }
    selectedClipId_ = clipId;
    bars_.forEach([&](TextOverlayBar& bar) { bar.setSelected(selectedClipId_ == bar.clip().id); });
}

void TextOverlayRow::setActions(std::shared_ptr<const TextOverlayActions> actions) {
    actions_ = std::move(actions);
    bars_.forEach([&](TextOverlayBar& bar) { bar.setActions(actions_); });
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
    bars_.forEach([&](TextOverlayBar& bar) {
        bar.setTimeAxis(maxDuration_, width());
        bar.relayout();
    });
}

} // namespace vexel
