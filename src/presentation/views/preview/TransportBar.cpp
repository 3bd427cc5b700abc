#include "presentation/views/preview/TransportBar.h"

#include "presentation/helpers/TimeFormatting.h"
#include "presentation/views/kit/TactileButton.h"
#include "presentation/views/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

namespace vexel {

namespace {

// The capsule's insets and the room between its elements.
constexpr int kHorizontalPadding = 12;
constexpr int kVerticalPadding = 6;
constexpr int kSpacing = 12;
constexpr double kBackgroundOpacity = 0.6;
// The rim that keeps the capsule whole where it lies over the black bars
// beside the picture, where its dark fill alone would not show.
constexpr double kRimOpacity = 0.25;
constexpr double kRimWidth = 1;
constexpr double kTimeOpacity = 0.8;
constexpr double kSkipSeconds = 10;

// The icons take the size of the title3 text style.
int iconSide() {
    return QFontMetrics(font(FontStyle::title3)).height();
}

} // namespace

TransportBar::TransportBar(PreviewViewModel& preview, const IconRegistry& icons, QWidget* parent)
    : QWidget(parent)
    , preview_(preview)
    , icons_(icons) {
    setAttribute(Qt::WA_TranslucentBackground);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kHorizontalPadding, kVerticalPadding, kHorizontalPadding,
                               kVerticalPadding);
    layout->setSpacing(kSpacing);

    connect(addButton("backward.end.fill", tr("Seek to start")), &QPushButton::clicked, this,
            [this] { preview_.seek(0); });
    connect(addButton("gobackward.10", tr("Skip back 10 seconds")), &QPushButton::clicked, this,
            [this] { preview_.seek(preview_.currentTime() - kSkipSeconds); });
    playButton_ = addButton("play.fill", tr("Play"));
    connect(playButton_, &QPushButton::clicked, this, [this] { preview_.togglePlayback(); });
    connect(addButton("goforward.10", tr("Skip forward 10 seconds")), &QPushButton::clicked, this,
            [this] { preview_.seek(preview_.currentTime() + kSkipSeconds); });
    // To the end of what plays, not to the longest project there could be.
    connect(addButton("forward.end.fill", tr("Seek to end")), &QPushButton::clicked, this, [this] {
        preview_.seek(preview_.hasContent() ? preview_.contentDuration() : preview_.maxDuration());
    });

    time_ = new QLabel(this);
    time_->setTextFormat(Qt::PlainText);
    time_->setFont(monospacedFont(FontStyle::caption));
    QPalette palette = time_->palette();
    QColor timeColor(Qt::white);
    timeColor.setAlphaF(kTimeOpacity);
    palette.setColor(QPalette::WindowText, timeColor);
    time_->setPalette(palette);
    layout->addWidget(time_);

    connect(&preview_, &PreviewViewModel::isPlayingChanged, this, &TransportBar::showPlayState);
    connect(&preview_, &PreviewViewModel::currentTimeChanged, this, &TransportBar::showTime);
    connect(&preview_, &PreviewViewModel::hasContentChanged, this, &TransportBar::showContent);
    showPlayState();
    showTime();
    showContent();
}

TactileButton* TransportBar::addButton(std::string_view symbol, const QString& label) {
    auto* button = new TactileButton(this);
    button->setFlat(true);
    button->setIcon(icons_.icon(symbol, Qt::white));
    button->setIconSize(QSize(iconSide(), iconSide()));
    button->setAccessibleName(label);
    button->setCursor(Qt::PointingHandCursor);
    layout()->addWidget(button);
    buttons_.push_back(button);
    return button;
}

void TransportBar::showPlayState() {
    const bool playing = preview_.isPlaying();
    playButton_->setIcon(icons_.icon(playing ? "pause.fill" : "play.fill", Qt::white));
    playButton_->setAccessibleName(playing ? tr("Pause") : tr("Play"));
}

void TransportBar::showTime() {
    time_->setText(QString::fromStdString(TimeFormatting::standard(preview_.currentTime())));
}

void TransportBar::showContent() {
    for (TactileButton* button : buttons_) {
        button->setEnabled(preview_.hasContent());
    }
}

void TransportBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The rim's line centred half a line inside the edge, so all of it shows.
    const QRectF bounds =
        QRectF(rect()).adjusted(kRimWidth / 2, kRimWidth / 2, -kRimWidth / 2, -kRimWidth / 2);
    const double radius = bounds.height() / 2;
    QColor fill(Qt::black);
    fill.setAlphaF(kBackgroundOpacity);
    QColor rim(Qt::white);
    rim.setAlphaF(kRimOpacity);
    painter.setPen(QPen(rim, kRimWidth));
    painter.setBrush(fill);
    painter.drawRoundedRect(bounds, radius, radius);
}

} // namespace vexel
