#pragma once

#include "presentation/views/kit/ElidedLabel.h"

namespace vexel {

// "@<clip name>" at the start of the chat bar while a clip is selected: the
// clip the next instruction is about.
class TargetClipChip : public ElidedLabel {
    Q_OBJECT

public:
    explicit TargetClipChip(QWidget* parent = nullptr);

    void setClipName(const QString& clipName);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vexel
