#pragma once

#include "presentation/views/timeline/BarBody.h"
#include "presentation/views/timeline/BarsInView.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace vexel {

// The slivers of a lane: the columns where crowded clips, each too little of
// it showing for a bar of its own, lie on top, drawn there as their bars
// would be, one over the other, over the bars below them. It takes the pointer only there: a press,
// a drag or a right click there goes to a bar that the lane makes for the
// clip on top, so that a sliver is handled as its clip's bar is.
class LaneSlivers : public QWidget {
    Q_OBJECT

public:
    // `barAt` gives the bar of the clip on top in a column of the lane (none
    // when there is none); `nameAt` the name it shows as a tip.
    LaneSlivers(std::function<QWidget*(int x)> barAt, std::function<QString(int x)> nameAt,
                QWidget& lane);

    void setColour(const QColor& colour);
    // The bodies drawn for the bars of the lane, shared with them.
    void setBody(std::shared_ptr<BarBody> body) { body_ = std::move(body); }
    // Left to right, as high as the layer, which takes the pointer only
    // where they show (its mask).
    void setSlivers(std::vector<BarsInView::Sliver> slivers);
    const std::vector<BarsInView::Sliver>& slivers() const { return slivers_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void forward(QMouseEvent& event);

    std::function<QWidget*(int)> barAt_;
    std::function<QString(int)> nameAt_;
    QColor colour_;
    std::shared_ptr<BarBody> body_ = std::make_shared<BarBody>();
    std::vector<BarsInView::Sliver> slivers_;
    // The bars of the slivers' clips, each once, in clip order.
    std::vector<BarsInView::Columns> drawn_;
    int shapeHeight_ = -1;
    // The bar that takes the gesture begun on a sliver.
    QPointer<QWidget> gesture_;
};

} // namespace vexel
