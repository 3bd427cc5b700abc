#pragma once

#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/views/kit/IconRegistry.h"

#include <QLabel>
#include <QWidget>

namespace vexel {

class TactileButton;

// The preview's transport: a dark capsule of five buttons (to the start, back
// 10 s, play or pause, forward 10 s, to the end of the content) and the
// playhead as minutes and seconds, rimmed so that it shows whole over the
// black beside the picture too. Seeks go through the view model, which
// keeps them within the preview's bounds. The buttons are off while there is
// nothing to play, and never take the keyboard focus.
class TransportBar : public QWidget {
    Q_OBJECT

public:
    TransportBar(PreviewViewModel& preview, const IconRegistry& icons, QWidget* parent = nullptr);

    // The time shown now, "m:ss".
    QString timeText() const { return time_->text(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TactileButton* addButton(std::string_view symbol, const QString& label);
    void showPlayState();
    void showTime();
    void showContent();

    PreviewViewModel& preview_;
    const IconRegistry& icons_;
    std::vector<TactileButton*> buttons_;
    TactileButton* playButton_ = nullptr;
    QLabel* time_ = nullptr;
};

} // namespace vexel
