#pragma once

#include "presentation/views/kit/IconRegistry.h"

#include <QWidget>

namespace vexel {

// What the preview shows with nothing to play: a film-stack symbol and an
// invitation to drop media, centred on black.
class PreviewEmptyState : public QWidget {
    Q_OBJECT

public:
    explicit PreviewEmptyState(const IconRegistry& icons, QWidget* parent = nullptr);
};

} // namespace vexel
