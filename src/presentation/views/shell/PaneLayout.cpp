#include "presentation/views/shell/PaneLayout.h"

#include <cmath>

namespace vexel {

int PaneLayout::topHeight(int height) {
    return static_cast<int>(std::floor(height * topShare));
}

PaneLayout PaneLayout::of(QSize size, int chatX, int chatWidth, int previewX, int previewWidth,
                          int inputBarHeight) {
    const int top = topHeight(size.height());
    PaneLayout layout;
    layout.chat = QRect(chatX, 0, chatWidth, top);
    layout.preview = QRect(previewX, 0, previewWidth, top);
    layout.timeline = QRect(0, top, size.width(), size.height() - top);
    layout.inputBarMinY = top - inputBarHeight;
    return layout;
}

PaneLayout PaneLayout::initial(QSize size) {
    return of(size, 0, chatIdealWidth, chatIdealWidth, 520, initialInputBarHeight);
}

} // namespace vexel
