#pragma once

#include "domain/entities/TrackType.h"

#include <QColor>

class QWidget;

namespace vexel {

// The translucent strip behind a lane's bars, with rounded ends.
void paintLaneBackground(QWidget& lane);

// The colour of a kind of track: its clips and its lane icon.
QColor trackColor(TrackType type);

} // namespace vexel
