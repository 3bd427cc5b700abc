#pragma once

#include <QWidget>

namespace vexel {

class IconRegistry;

// What the lanes show behind them while no track holds a clip: a symbol and
// where media comes from.
class TimelineEmptyState : public QWidget {
    Q_OBJECT

public:
    explicit TimelineEmptyState(const IconRegistry& icons, QWidget* parent = nullptr);
};

} // namespace vexel
