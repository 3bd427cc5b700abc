#pragma once

#include "domain/entities/Track.h"

#include <QWidget>

#include <vector>

namespace vexel {

class IconRegistry;

// The column beside the lanes with each lane's kind as an icon, level with
// its lane, with a line between two lanes.
class TrackIconColumn : public QWidget {
    Q_OBJECT

public:
    explicit TrackIconColumn(const IconRegistry& icons, QWidget* parent = nullptr);

    // Top to bottom. `top` leaves room for the ruler beside the column.
    void setLanes(const std::vector<TrackType>& lanes, double laneHeight, double top);

    // The icon names shown, top to bottom.
    std::vector<std::string> iconNames() const;

    // "video", "waveform", "photo", "textformat", by kind.
    static const char* iconName(TrackType type);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    const IconRegistry& icons_;
    std::vector<TrackType> lanes_;
    double laneHeight_ = 28;
    double top_ = 0;
};

} // namespace vexel
