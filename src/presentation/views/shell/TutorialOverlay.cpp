#include "presentation/views/shell/TutorialOverlay.h"

#include "presentation/helpers/TutorialStrings.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/Motion.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/kit/TactileButton.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/shell/TutorialOverlayGeometry.h"
#include "presentation/views/shell/TutorialStepIndicator.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <utility>

namespace vexel {

namespace {

constexpr int sideCardMaximumWidth = 400;
constexpr int chatCardSideMargin = 32;

QString text(const char* key) {
    return QString::fromStdString(tutorialStrings().localized(key));
}

QLabel* plainLabel(const QString& content, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(content);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QFont bold(QFont font) {
    font.setBold(true);
    return font;
}

QColor secondary() {
    return toQColor(VexelColors::textSecondary);
}

// A card's button: outlined, or filled with the accent for the one that
// moves on.
TactileButton* cardButton(const QString& title, bool prominent) {
    auto* button = new TactileButton(escapeMnemonic(title));
    const QString accent = toQColor(VexelColors::accent).name();
    button->setStyleSheet(
        prominent ? QStringLiteral("QPushButton { background: %1; color: white; border: none; "
                                   "border-radius: 6px; padding: 6px 16px; }")
                        .arg(accent)
                  : QStringLiteral("QPushButton { background: transparent; color: white; "
                                   "border: 1px solid rgba(255, 255, 255, 0.3); "
                                   "border-radius: 6px; padding: 5px 15px; }"));
    return button;
}

void strokeOutline(QPainter& painter, const QRectF& area) {
    QColor white(Qt::white);
    white.setAlphaF(0.6f);
    painter.setPen(QPen(white, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(tutorialGeometry::outlineRect(area), tutorialGeometry::outlineRadius,
                            tutorialGeometry::outlineRadius);
}

void drawAreaLabel(QPainter& painter, const QRectF& area, const QString& label) {
    const QFont font = bold(vexel::font(FontStyle::caption));
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(label) + 16, metrics.height() + 8);
    QRectF tag(QPointF(), size);
    tag.moveCenter(tutorialGeometry::labelCentre(area));
    QColor glass(Qt::white);
    glass.setAlphaF(0.18f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glass);
    painter.drawRoundedRect(tag, size.height() / 2, size.height() / 2);
    painter.setPen(Qt::white);
    painter.setFont(font);
    painter.drawText(tag, Qt::AlignCenter, label);
}

} // namespace

TutorialOverlay::TutorialOverlay(QWidget& host, TutorialState& state, const IconRegistry& icons,
                                 Hooks hooks, ConfigSource config)
    : QWidget(&host)
    , host_(&host)
    , state_(&state)
    , icons_(icons)
    , hooks_(std::move(hooks))
    , config_(std::move(config)) {
    setAttribute(Qt::WA_NoSystemBackground);
    layerOpacity_ = new QGraphicsOpacityEffect(this);
    layerOpacity_->setEnabled(false);
    setGraphicsEffect(layerOpacity_);
    hide();

    fade_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const double opacity = value.toDouble();
        layerOpacity_->setOpacity(opacity);
        if (cardOpacity_ != nullptr) {
            cardOpacity_->setOpacity(opacity);
        }
    });
    connect(&fade_, &QVariantAnimation::finished, this,
            [this] { fadeTo(fade_.endValue().toDouble()); });

    host.installEventFilter(this);
    connect(&state, &TutorialState::currentStepChanged, this, &TutorialOverlay::showStep);
    showStep();
}

TutorialOverlay::~TutorialOverlay() {
    // The card is the host's child: it goes with the layer it belongs to.
    delete card_;
}

void TutorialOverlay::setAreas(const QRect& chat, const QRect& preview, const QRect& timeline,
                               int inputBarMinY) {
    if (chat_ == chat && preview_ == preview && timeline_ == timeline &&
        inputBarMinY_ == inputBarMinY) {
        return;
    }
    chat_ = chat;
    preview_ = preview;
    timeline_ = timeline;
    inputBarMinY_ = inputBarMinY;
    relayout();
}

bool TutorialOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == host_ && event->type() == QEvent::Resize) {
        relayout();
    }
    return QWidget::eventFilter(watched, event);
}

void TutorialOverlay::showStep() {
    const std::optional<TutorialStep> step = state_ ? state_->currentStep() : std::nullopt;
    if (step == shown_ && step.has_value() != isHidden()) {
        return;
    }
    shown_ = step;
    if (!step) {
        fadeTo(0);
        return;
    }
    clearCard();
    if (*step == TutorialStep::welcome) {
        buildWelcomeCard();
    } else if (*step == TutorialStep::complete) {
        buildCompleteCard();
    } else {
        buildChatCard(config_ ? config_(*step) : TutorialStepConfig::of(*step));
    }
    const bool appearing = isHidden() || fade_.endValue().toDouble() == 0;
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    show();
    card_->show();
    relayout();
    update();
    if (appearing) {
        layerOpacity_->setEnabled(true);
        layerOpacity_->setOpacity(0);
        cardOpacity_->setEnabled(true);
        cardOpacity_->setOpacity(0);
        fadeTo(1);
    } else {
        // A new card midway through the fade joins it.
        cardOpacity_->setEnabled(layerOpacity_->isEnabled());
        cardOpacity_->setOpacity(layerOpacity_->opacity());
    }
}

void TutorialOverlay::fadeTo(double opacity) {
    const auto duration = animationDuration(std::chrono::milliseconds(fadeMilliseconds));
    const double current = layerOpacity_->isEnabled() ? layerOpacity_->opacity() : 1.0;
    if (duration.count() == 0 || current == opacity) {
        fade_.stop();
        fade_.setEndValue(opacity);
        if (opacity == 0) {
            hide();
            if (card_ != nullptr) {
                card_->hide();
            }
        }
        // Drawn straight at full opacity once faded in.
        layerOpacity_->setEnabled(opacity != 1.0);
        layerOpacity_->setOpacity(opacity);
        if (cardOpacity_ != nullptr) {
            cardOpacity_->setEnabled(opacity != 1.0);
            cardOpacity_->setOpacity(opacity);
        }
        return;
    }
    if (opacity == 0) {
        // Going: clicks pass through while it fades.
        setAttribute(Qt::WA_TransparentForMouseEvents, true);
        if (card_ != nullptr) {
            card_->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        }
    }
    layerOpacity_->setEnabled(true);
    if (cardOpacity_ != nullptr) {
        cardOpacity_->setEnabled(true);
    }
    fade_.stop();
    fade_.setDuration(int(duration.count()));
    fade_.setStartValue(current);
    fade_.setEndValue(opacity);
    fade_.start();
}

void TutorialOverlay::clearCard() {
    if (card_ != nullptr) {
        // It may be the sender of the click that moved the tutorial on.
        card_->hide();
        card_->deleteLater();
    }
    indicator_ = nullptr;
    skip_ = nullptr;
    getStarted_ = nullptr;
    close_ = nullptr;
    card_ = new QFrame(host_);
    card_->setObjectName(QStringLiteral("tutorialCard"));
    cardOpacity_ = new QGraphicsOpacityEffect(card_);
    cardOpacity_->setEnabled(false);
    card_->setGraphicsEffect(cardOpacity_);
    cardLayout_ = new QVBoxLayout(card_);
}

void TutorialOverlay::buildWelcomeCard() {
    card_->setStyleSheet(QStringLiteral("QFrame#tutorialCard { background: rgba(26, 26, 38, 245); "
                                        "border: 1px solid rgba(255, 255, 255, 30); "
                                        "border-radius: 16px; }"));
    cardLayout_->setContentsMargins(24, 24, 24, 24);
    cardLayout_->setSpacing(16);
    QLabel* title =
        plainLabel(text("welcome.title"), bold(vexel::font(FontStyle::title2)), Qt::white);
    title->setAlignment(Qt::AlignCenter);
    cardLayout_->addWidget(title);
    QLabel* body = plainLabel(text("welcome.body"), vexel::font(FontStyle::body), secondary());
    body->setAlignment(Qt::AlignCenter);
    body->setWordWrap(true);
    cardLayout_->addWidget(body);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addStretch(1);
    TactileButton* skip = cardButton(text("welcome.skip"), false);
    TactileButton* start = cardButton(text("welcome.getStarted"), true);
    connect(skip, &QPushButton::clicked, this, [this] {
        if (hooks_.skip) {
            hooks_.skip();
        }
    });
    connect(start, &QPushButton::clicked, this, [this] {
        if (hooks_.setupAndAdvance) {
            hooks_.setupAndAdvance();
        }
    });
    buttons->addWidget(skip);
    buttons->addWidget(start);
    buttons->addStretch(1);
    cardLayout_->addLayout(buttons);
    skip_ = skip;
    getStarted_ = start;

    indicator_ = new TutorialStepIndicator;
    indicator_->setCurrentStep(shown_);
    cardLayout_->addWidget(indicator_, 0, Qt::AlignHCenter);
}

void TutorialOverlay::buildChatCard(const TutorialStepConfig& config) {
    card_->setStyleSheet(QStringLiteral("QFrame#tutorialCard { background: rgba(26, 26, 38, 245); "
                                        "border: 1px solid rgba(255, 255, 255, 30); "
                                        "border-radius: 12px; }"));
    cardLayout_->setContentsMargins(16, 16, 16, 16);
    cardLayout_->setSpacing(12);

    auto* guidance = new QHBoxLayout;
    guidance->setSpacing(8);
    auto* icon = new QLabel;
    const int iconSize = QFontMetrics(vexel::font(FontStyle::title2)).height();
    icon->setPixmap(icons_.pixmap(config.iconName, QSize(iconSize, iconSize),
                                  toQColor(VexelColors::accent), devicePixelRatioF()));
    guidance->addWidget(icon, 0, Qt::AlignVCenter);
    QLabel* words = plainLabel(QString::fromStdString(config.guidanceText),
                               vexel::font(FontStyle::body), Qt::white);
    words->setWordWrap(true);
    guidance->addWidget(words, 1);
    cardLayout_->addLayout(guidance);

    if (config.prefillText) {
        QLabel* prefill =
            plainLabel(QStringLiteral("\"%1\"").arg(QString::fromStdString(*config.prefillText)),
                       monospacedFont(FontStyle::callout), secondary());
        prefill->setObjectName(QStringLiteral("tutorialPrefill"));
        prefill->setAlignment(Qt::AlignCenter);
        prefill->setWordWrap(true);
        cardLayout_->addWidget(prefill);
    }

    indicator_ = new TutorialStepIndicator;
    indicator_->setCurrentStep(shown_);
    cardLayout_->addWidget(indicator_, 0, Qt::AlignHCenter);
}

void TutorialOverlay::buildCompleteCard() {
    card_->setStyleSheet(QStringLiteral("QFrame#tutorialCard { background: rgba(26, 26, 38, 245); "
                                        "border: 1px solid rgba(255, 255, 255, 30); "
                                        "border-radius: 16px; }"));
    cardLayout_->setContentsMargins(24, 24, 24, 24);
    cardLayout_->setSpacing(16);
    auto* check = new QLabel;
    check->setPixmap(icons_.pixmap("checkmark.circle.fill", QSize(48, 48), QColor(0x34, 0xC7, 0x59),
                                   devicePixelRatioF()));
    cardLayout_->addWidget(check, 0, Qt::AlignHCenter);
    QLabel* title =
        plainLabel(text("complete.title"), bold(vexel::font(FontStyle::title2)), Qt::white);
    title->setAlignment(Qt::AlignCenter);
    cardLayout_->addWidget(title);
    QLabel* body = plainLabel(text("complete.body"), vexel::font(FontStyle::body), secondary());
    body->setAlignment(Qt::AlignCenter);
    body->setWordWrap(true);
    cardLayout_->addWidget(body);
    TactileButton* close = cardButton(text("complete.close"), true);
    connect(close, &QPushButton::clicked, this, [this] {
        if (hooks_.complete) {
            hooks_.complete();
        }
    });
    cardLayout_->addWidget(close, 0, Qt::AlignHCenter);
    close_ = close;
}

void TutorialOverlay::relayout() {
    if (!host_ || !shown_) {
        return;
    }
    setGeometry(host_->rect());
    raise();
    const bool chatStep = *shown_ != TutorialStep::welcome && *shown_ != TutorialStep::complete;
    if (chatStep) {
        const QRegion hole(tutorialGeometry::spotlightHole(chat_).toFillPolygon().toPolygon());
        setMask(QRegion(rect()).subtracted(hole));
    } else {
        clearMask();
    }

    // As wide as the card may be: its texts wrap within that.
    const int cardWidth = chatStep ? std::max(0, chat_.width() - chatCardSideMargin)
                                   : std::min(sideCardMaximumWidth, width());
    const int cardHeight =
        card_->hasHeightForWidth() ? card_->heightForWidth(cardWidth) : card_->sizeHint().height();
    const QSize size(cardWidth, cardHeight);
    QRect placed;
    if (chatStep) {
        placed = tutorialGeometry::chatCardRect(chat_, inputBarMinY_, size);
    } else {
        placed = QRect(QPoint(), size);
        placed.moveCenter(rect().center());
    }
    card_->setGeometry(placed);
    card_->raise();
    update();
}

void TutorialOverlay::paintEvent(QPaintEvent*) {
    if (!shown_) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool chatStep = *shown_ != TutorialStep::welcome && *shown_ != TutorialStep::complete;
    QPainterPath dimmed;
    dimmed.addRect(QRectF(rect()));
    if (chatStep) {
        dimmed.addPath(tutorialGeometry::spotlightHole(chat_));
        dimmed.setFillRule(Qt::OddEvenFill);
    }
    painter.fillPath(dimmed, QColor(0, 0, 0, 128));

    if (*shown_ == TutorialStep::welcome) {
        const std::pair<QRect, const char*> areas[] = {
            {chat_, "area.chat"}, {preview_, "area.preview"}, {timeline_, "area.timeline"}};
        for (const auto& [area, label] : areas) {
            strokeOutline(painter, area);
            drawAreaLabel(painter, area, text(label));
        }
    } else if (chatStep) {
        strokeOutline(painter, chat_);
    }
}

// The layer takes every click that lands on it, so nothing under it reacts.
void TutorialOverlay::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void TutorialOverlay::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void TutorialOverlay::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void TutorialOverlay::wheelEvent(QWheelEvent* event) {
    event->accept();
}

} // namespace vexel
