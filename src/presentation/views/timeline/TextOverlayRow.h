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

// The text lane: a translucent strip with a bar for every text clip, placed
// by time across the lane's whole width. Bars are kept by clip id as the
// project changes.
class TextOverlayRow : public QWidget {
    Q_OBJECT

public:
    explicit TextOverlayRow(QWidget* parent = nullptr);

    void setTextClips(const std::vector<Clip>& clips);
    void setMaxDuration(double maxDuration);
    void setSelectedClipId(const std::optional<Uuid>& clipId);
    void setActions(std::shared_ptr<const TextOverlayActions> actions);

    // In drawing order.
    std::vector<TextOverlayBar*> bars() const;
    TextOverlayBar* bar(const Uuid& clipId) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double maxDuration_ = 1;
    std::optional<Uuid> selectedClipId_;
    std::shared_ptr<const TextOverlayActions> actions_;
    ClipBarSet<TextOverlayBar> bars_;
};

} // namespace vexel
