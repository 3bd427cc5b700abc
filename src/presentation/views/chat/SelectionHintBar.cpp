#include "presentation/views/chat/SelectionHintBar.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/ElidedLabel.h"
#include "presentation/views/kit/IconButton.h"
#include "presentation/views/kit/PlainLabel.h"
#include "presentation/views/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace vexel {

SelectionHintBar::SelectionHintBar(const IconRegistry& icons, QWidget* parent)
    : QFrame(parent) {
    const QColor secondary = toQColor(VexelColors::textSecondary);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(6);

    auto* info = new QLabel;
    const int glyph = QFontMetrics(vexel::font(FontStyle::caption)).height();
    info->setPixmap(
        icons.pixmap("info.circle", QSize(glyph, glyph), secondary, devicePixelRatioF()));
    row->addWidget(info);

    label_ = new ElidedLabel;
    label_->setElideMode(Qt::ElideRight);
    label_->setFont(vexel::font(FontStyle::caption));
    setTextColor(label_, secondary);
    label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    row->addWidget(label_, 1);

    QToolButton* dismiss = iconButton(icons, "xmark", toQColor(VexelColors::textMuted),
                                      QFontMetrics(vexel::font(FontStyle::caption2)).height(),
                                      tr("Dismiss selection hint"));
    connect(dismiss, &QToolButton::clicked, this, &SelectionHintBar::dismissed);
    dismiss_ = dismiss;
    row->addWidget(dismiss_);
}

QString SelectionHintBar::hintText(const QString& clipName) {
    return tr("Selected: %1 \u2014 Right-click or Ctrl+K for actions").arg(clipName);
}

void SelectionHintBar::setClipName(const QString& clipName) {
    label_->setText(hintText(clipName));
}

QString SelectionHintBar::text() const {
    return label_->text();
}

void SelectionHintBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(VexelColors::surface800.withOpacity(0.5)));
    QFrame::paintEvent(event);
}

} // namespace vexel
