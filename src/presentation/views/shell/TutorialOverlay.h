#pragma once

// moc cannot parse the standard headers these bring in, and needs none of them.
#ifndef Q_MOC_RUN
#include "presentation/helpers/TutorialStep.h"
#endif
#include "presentation/viewmodels/TutorialState.h"

#include <QFrame>
#include <QPointer>
#include <QRect>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>
#include <optional>

class QAbstractButton;
class QGraphicsOpacityEffect;
class QLabel;
class QVBoxLayout;

namespace vexel {

class IconRegistry;
class TutorialStepIndicator;

// The guided tutorial's layer over the window's content, there exactly while
// a step is on. The welcome and the end dim the whole window, which takes no
// clicks then, and show a card in the middle; the welcome also outlines the
// chat, the preview and the timeline. Each chat step dims everything but the
// chat column, which stays usable through a hole in this layer, and shows the
// step's guidance above the chat bar. It only shows the state: its buttons
// call the window's hooks, and the tutorial moves on elsewhere.
class TutorialOverlay : public QWidget {
    Q_OBJECT

public:
    static constexpr int fadeMilliseconds = 250;

    // The window's answers to the cards' buttons.
    struct Hooks {
        std::function<void()> setupAndAdvance;
        std::function<void()> skip;
        std::function<void()> complete;
    };
    // A step's texts and icon.
    using ConfigSource = std::function<TutorialStepConfig(TutorialStep)>;

    // Covers `host`, whose size it follows. `state` and `icons` must outlive
    // the overlay.
    TutorialOverlay(QWidget& host, TutorialState& state, const IconRegistry& icons, Hooks hooks,
                    ConfigSource config);
    ~TutorialOverlay() override;

    // The panes and the top of the chat bar, in the host's coordinates.
    void setAreas(const QRect& chat, const QRect& preview, const QRect& timeline, int inputBarMinY);

    QRect chatRect() const { return chat_; }
    // The card of the step on show; a sibling above this layer, so that the
    // hole of a chat step never cuts it.
    QFrame& card() const { return *card_; }
    // None on the last card.
    TutorialStepIndicator* indicator() const { return indicator_; }
    // The buttons of the card on show, those it has.
    QAbstractButton* skipButton() const { return skip_; }
    QAbstractButton* getStartedButton() const { return getStarted_; }
    QAbstractButton* closeButton() const { return close_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void showStep();
    void buildWelcomeCard();
    void buildChatCard(const TutorialStepConfig& config);
    void buildCompleteCard();
    void clearCard();
    void relayout();
    void fadeTo(double opacity);

    QPointer<QWidget> host_;
    QPointer<TutorialState> state_;
    const IconRegistry& icons_;
    Hooks hooks_;
    ConfigSource config_;
    QRect chat_;
    QRect preview_;
    QRect timeline_;
    int inputBarMinY_ = 0;
    // The step the layer and card show now.
    std::optional<TutorialStep> shown_;

    QPointer<QFrame> card_;
    QVBoxLayout* cardLayout_ = nullptr;
    TutorialStepIndicator* indicator_ = nullptr;
    QAbstractButton* skip_ = nullptr;
    QAbstractButton* getStarted_ = nullptr;
    QAbstractButton* close_ = nullptr;
    QGraphicsOpacityEffect* layerOpacity_ = nullptr;
    QGraphicsOpacityEffect* cardOpacity_ = nullptr;
    QVariantAnimation fade_;
};

} // namespace vexel
