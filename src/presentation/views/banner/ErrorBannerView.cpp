#include "presentation/views/banner/ErrorBannerView.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/banner/ErrorCategoryLook.h"
#include "presentation/views/banner/ErrorHistoryPopover.h"
#include "presentation/views/kit/ElidedLabel.h"
#include "presentation/views/kit/Motion.h"
#include "presentation/views/kit/PlainLabel.h"
#include "presentation/views/kit/TactileButton.h"
#include "presentation/views/kit/Theme.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace vexel {

namespace {

constexpr std::chrono::milliseconds bannerAnimation{180};
// A press that moves further is a drag, not a click.
constexpr int tapSlop = 10;

} // namespace

ErrorBannerView::ErrorBannerView(ErrorBannerViewModel& viewModel, const IconRegistry& icons,
                                 QWidget* parent)
    : QFrame(parent)
    , viewModel_(&viewModel)
    , icons_(icons) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(outerPadding + 8, 6, outerPadding + 8, 6);
    column->setSpacing(4);

    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    icon_ = new QLabel;
    row->addWidget(icon_, 0, Qt::AlignVCenter);
    line_ = new ElidedLabel;
    line_->setElideMode(Qt::ElideRight);
    line_->setFont(vexel::font(FontStyle::caption));
    line_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    row->addWidget(line_, 1);
    wrapped_ = plainLabel({}, FontStyle::caption);
    wrapped_->setWordWrap(true);
    wrapped_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(wrapped_, 1);

    badge_ = new TactileButton;
    badge_->setFont(vexel::font(FontStyle::caption2));
    // A capsule: its ends are half circles.
    const int badgeHeight = QFontMetrics(badge_->font()).height() + 4;
    badge_->setFixedHeight(badgeHeight);
    badge_->setMinimumWidth(badgeHeight);
    badge_->setStyleSheet(QStringLiteral("QPushButton { background: rgba(255, 255, 255, 36); "
                                         "border: none; border-radius: %1px; padding: 0px 6px; }")
                              .arg(badgeHeight / 2));
    connect(badge_, &QPushButton::clicked, this, &ErrorBannerView::toggleHistory);
    row->addWidget(badge_, 0, Qt::AlignVCenter);

    dismiss_ = new TactileButton;
    const int glyph = QFontMetrics(vexel::font(FontStyle::caption2)).height();
    dismiss_->setIcon(icons_.icon("xmark", toQColor(VexelColors::textSecondary)));
    dismiss_->setIconSize(QSize(glyph, glyph));
    dismiss_->setAccessibleName(tr("Dismiss error"));
    dismiss_->setToolTip(tr("Dismiss error"));
    dismiss_->setStyleSheet(
        QStringLiteral("QPushButton { background: transparent; border: none; padding: 2px; }"));
    connect(dismiss_, &QPushButton::clicked, this, [this] {
        if (viewModel_) {
            viewModel_->dismiss();
        }
    });
    row->addWidget(dismiss_, 0, Qt::AlignVCenter);
    column->addLayout(row);

    detail_ = plainLabel({}, FontStyle::caption2, toQColor(VexelColors::textSecondary));
    detail_->setWordWrap(true);
    column->addWidget(detail_);
    action_ = plainLabel({}, FontStyle::caption2);
    action_->setWordWrap(true);
    column->addWidget(action_);

    history_ = new ErrorHistoryPopover(icons_, this);
    history_->setOnClear([this] {
        if (viewModel_) {
            viewModel_->clearHistory();
        }
        history_->close();
    });

    animation_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const double progress = value.toDouble();
        if (fade_ != nullptr) {
            fade_->setOpacity(progress);
        }
        if (!leaving_) {
            // Unfolds from its top edge while it fades in.
            setMaximumHeight(int(std::ceil(progress * sizeHint().height())));
        }
    });
    connect(&animation_, &QVariantAnimation::finished, this, &ErrorBannerView::endAnimation);

    connect(&viewModel, &ErrorBannerViewModel::currentErrorChanged, this,
            &ErrorBannerView::showCurrentError);
    connect(&viewModel, &ErrorBannerViewModel::errorHistoryChanged, this,
            &ErrorBannerView::showHistoryState);
    setVisible(false);
    showCurrentError();
    showHistoryState();
}

ErrorBannerView::~ErrorBannerView() {
    animation_.stop();
}

bool ErrorBannerView::isHistoryShown() const {
    return history_->isVisible();
}

QAbstractButton* ErrorBannerView::countBadge() const {
    return badge_;
}

QAbstractButton* ErrorBannerView::dismissButton() const {
    return dismiss_;
}

int ErrorBannerView::oneLineHeight() const {
    const QMargins margins = layout()->contentsMargins();
    const int icon = QFontMetrics(vexel::font(FontStyle::caption)).height() + 2;
    const int row = std::max({icon, line_->sizeHint().height(), badge_->sizeHint().height(),
                              dismiss_->sizeHint().height()});
    return margins.top() + row + margins.bottom();
}

QString ErrorBannerView::messageText() const {
    return expanded_ ? wrapped_->text() : line_->displayedText();
}

void ErrorBannerView::showCurrentError() {
    if (!viewModel_) {
        return;
    }
    const std::optional<AppError>& error = viewModel_->currentError();
    if (!error) {
        shownId_.reset();
        history_->close();
        animateOut();
        return;
    }
    const ErrorCategoryLook look = errorCategoryLook(error->category);
    tint_ = toQColor(look.tint);
    const int glyph = QFontMetrics(vexel::font(FontStyle::caption)).height() + 2;
    icon_->setPixmap(icons_.pixmap(look.iconName, QSize(glyph, glyph), tint_, devicePixelRatioF()));
    const QString message = QString::fromStdString(error->message);
    line_->setText(message);
    wrapped_->setText(message);
    detail_->setText(QString::fromStdString(error->detail.value_or("")));
    action_->setText(QString::fromStdString(error->action.value_or("")));
    action_->setVisible(error->action.has_value());
    setTextColor(action_, tint_);
    layoutExpansion();
    update();
    const bool replaced = shownId_ != error->id;
    shownId_ = error->id;
    if (replaced) {
        animateIn();
    }
}

void ErrorBannerView::showHistoryState() {
    if (!viewModel_) {
        return;
    }
    const std::vector<AppError>& history = viewModel_->errorHistory();
    const QString count = QString::number(qulonglong(history.size()));
    badge_->setText(count);
    badge_->setAccessibleName(tr("%1 errors in history").arg(count));
    badge_->setToolTip(badge_->accessibleName());
    badge_->setVisible(history.size() >= 2);
    history_->setHistory(history);
    if (history.size() < 2) {
        history_->close();
    }
}

void ErrorBannerView::toggleHistory() {
    if (history_->isVisible()) {
        history_->close();
        return;
    }
    history_->showAnchored(badge_, badge_->rect(), Qt::BottomEdge);
}

void ErrorBannerView::setExpanded(bool expanded) {
    expanded_ = expanded;
    layoutExpansion();
}

void ErrorBannerView::layoutExpansion() {
    const bool hasDetail =
        viewModel_ && viewModel_->currentError() && viewModel_->currentError()->detail.has_value();
    line_->setVisible(!expanded_);
    wrapped_->setVisible(expanded_);
    detail_->setVisible(expanded_ && hasDetail);
}

void ErrorBannerView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        pressedAt_ = event->position().toPoint();
    }
    QFrame::mousePressEvent(event);
}

void ErrorBannerView::mouseReleaseEvent(QMouseEvent* event) {
    const bool tap = pressed_ && event->button() == Qt::LeftButton &&
                     (event->position().toPoint() - pressedAt_).manhattanLength() < tapSlop;
    pressed_ = false;
    QFrame::mouseReleaseEvent(event);
    if (!tap || !viewModel_ || !viewModel_->currentError() || !viewModel_->currentError()->detail) {
        return;
    }
    setExpanded(!expanded_);
}

void ErrorBannerView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(outerPadding + 0.5, 0.5, -outerPadding - 0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, cornerRadius, cornerRadius);
    QColor fill = tint_;
    fill.setAlphaF(0.1f);
    painter.fillPath(shape, fill);
    QColor outline = tint_;
    outline.setAlphaF(0.3f);
    painter.setPen(QPen(outline, 1));
    painter.drawPath(shape);
}

void ErrorBannerView::animateIn() {
    leaving_ = false;
    setVisible(true);
    fade(0, 1);
}

void ErrorBannerView::animateOut() {
    leaving_ = true;
    // Nothing to see go when it is not on the screen.
    fade(1, 0, isVisible());
}

void ErrorBannerView::fade(double from, double to, bool animated) {
    animation_.stop();
    const auto duration = animationDuration(bannerAnimation);
    if (duration.count() == 0 || !animated) {
        endAnimation();
        return;
    }
    if (fade_ == nullptr) {
        fade_ = new QGraphicsOpacityEffect(this);
        setGraphicsEffect(fade_);
    }
    animation_.setDuration(int(duration.count()));
    animation_.setStartValue(from);
    animation_.setEndValue(to);
    animation_.start();
}

void ErrorBannerView::endAnimation() {
    // The effect costs a redirected paint on every frame: only while moving.
    if (fade_ != nullptr) {
        setGraphicsEffect(nullptr);
        fade_ = nullptr;
    }
    setMaximumHeight(QWIDGETSIZE_MAX);
    if (leaving_) {
        setVisible(false);
    }
}

} // namespace vexel
