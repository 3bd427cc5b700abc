#pragma once

class QDragMoveEvent;
class QDropEvent;

namespace vexel {

class TimelineDropHandler;

// Media files dragged onto the window, for every area that takes them (the
// timeline, the preview): a drag that carries files is taken where there is
// a handler, and the drop hands its files to it, which places the clips.
namespace FileDrops {

// For a drag entering or moving over the area.
void dragOver(QDragMoveEvent& event, const TimelineDropHandler* handler);
// For the drop; refused without a handler or files.
void drop(QDropEvent& event, TimelineDropHandler* handler);

} // namespace FileDrops

} // namespace vexel
