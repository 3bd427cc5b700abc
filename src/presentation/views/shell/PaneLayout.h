#pragma once

#include <QRect>
#include <QSize>

namespace vexel {

// Where the main window's panes sit: chat and preview side by side on top,
// the timeline below over the whole width. In the coordinates of the window's
// content, which the tutorial's overlay shares.
struct PaneLayout {
    // The top row's share of the height (kept as the number it has always
    // been, a little off the golden ratio).
    static constexpr double topShare = 0.6180290297937356;
    static constexpr int chatMinimumWidth = 200;
    static constexpr int chatIdealWidth = 280;
    static constexpr int chatMaximumWidth = 400;
    static constexpr int previewMinimumWidth = 300;
    static constexpr int initialInputBarHeight = 60;

    QRect chat;
    QRect preview;
    QRect timeline;
    // The top edge of the chat bar, at the bottom of the chat column.
    int inputBarMinY = 0;

    // floor(height × topShare).
    static int topHeight(int height);

    // The layout of content of `size` whose top row splits at the panes'
    // left edges and widths, with a chat bar `inputBarHeight` high.
    static PaneLayout of(QSize size, int chatX, int chatWidth, int previewX, int previewWidth,
                         int inputBarHeight);

    // Before the panes are placed: chat 280 wide at the left, preview 520
    // wide beside it.
    static PaneLayout initial(QSize size);

    friend bool operator==(const PaneLayout&, const PaneLayout&) = default;
};

} // namespace vexel
