#include "presentation/views/timeline/TrackIconColumn.h"

#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/timeline/LaneStyle.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>

namespace vexel {

namespace {

constexpr int iconSize = 16;

} // namespace

TrackIconColumn::TrackIconColumn(const IconRegistry& icons, QWidget* parent)
    : QWidget(parent)
    , icons_(icons) {}

const char* TrackIconColumn::iconName(TrackType type) {
    switch (type) {
    case TrackType::video:
        return "video";
    case TrackType::audio:
        return "waveform";
    case TrackType::image:
        return "photo";
    case TrackType::text:
        return "textformat";
    }
    return "video";
}

void TrackIconColumn::setLanes(const std::vector<TrackType>& lanes, double laneHeight, double top) {
    if (lanes == lanes_ && laneHeight == laneHeight_ && top == top_) {
        return;
    }
    lanes_ = lanes;
    laneHeight_ = laneHeight;
    top_ = top;
    QStringList names;
    for (const TrackType type : lanes_) {
        names.push_back(QString::fromUtf8(baseWord(type).data(),
                                          static_cast<qsizetype>(baseWord(type).size())) +
                        QStringLiteral(" track"));
    }
    setAccessibleName(names.join(QStringLiteral(", ")));
    update();
}

std::vector<std::string> TrackIconColumn::iconNames() const {
    std::vector<std::string> names;
    for (const TrackType type : lanes_) {
        names.emplace_back(iconName(type));
    }
    return names;
}

void TrackIconColumn::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor divider(255, 255, 255, 25);
    for (std::size_t i = 0; i < lanes_.size(); ++i) {
        // Whole pixels, as the lanes beside the column round them.
        const double exactTop = top_ + static_cast<double>(i) * (laneHeight_ + 1);
        const int laneTop = static_cast<int>(std::lround(exactTop));
        if (i > 0) {
            painter.fillRect(QRect(0, laneTop - 1, width(), 1), divider);
        }
        const QPixmap icon = icons_.pixmap(iconName(lanes_[i]), QSize(iconSize, iconSize),
                                           trackColor(lanes_[i]), devicePixelRatioF());
        const double centreY = exactTop + laneHeight_ / 2.0;
        painter.drawPixmap(QPoint((width() - iconSize) / 2,
                                  static_cast<int>(std::lround(centreY - iconSize / 2.0))),
                           icon);
    }
}

bool TrackIconColumn::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const double offset = help->pos().y() - top_;
        const auto index =
            offset >= 0 ? static_cast<std::size_t>(offset / (laneHeight_ + 1)) : lanes_.size();
        if (index < lanes_.size()) {
            const std::string_view word = baseWord(lanes_[index]);
            QToolTip::showText(help->globalPos(),
                               QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size())),
                               this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace vexel
