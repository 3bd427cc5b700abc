#include "presentation/views/timeline/FileDrops.h"

#include "presentation/viewmodels/TimelineDropHandler.h"

#include <QDropEvent>
#include <QMimeData>

#include <vector>

namespace vexel {

namespace {

// A drag the areas take: one that carries at least one address.
bool carriesFiles(const QMimeData* data) {
    return data != nullptr && data->hasUrls() && !data->urls().isEmpty();
}

} // namespace

void FileDrops::dragOver(QDragMoveEvent& event, const TimelineDropHandler* handler) {
    if (handler != nullptr && carriesFiles(event.mimeData())) {
        event.acceptProposedAction();
    }
}

void FileDrops::drop(QDropEvent& event, TimelineDropHandler* handler) {
    if (handler == nullptr || !carriesFiles(event.mimeData())) {
        event.ignore();
        return;
    }
    const QList<QUrl> urls = event.mimeData()->urls();
    handler->handleDrop(std::vector<QUrl>(urls.begin(), urls.end()));
    event.acceptProposedAction();
}

} // namespace vexel
