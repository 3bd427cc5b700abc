#include "presentation/views/banner/ErrorHistoryPopover.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/banner/ErrorCategoryLook.h"
#include "presentation/views/kit/PlainLabel.h"
#include "presentation/views/kit/Theme.h"

#include <QDateTime>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

namespace vexel {

namespace {

// The time of day as the user's locale writes it.
QString timeOfDay(std::chrono::system_clock::time_point timestamp) {
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(timestamp.time_since_epoch());
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(milliseconds.count()).time(),
                              QLocale::ShortFormat);
}

} // namespace

ErrorHistoryPopover::ErrorHistoryPopover(const IconRegistry& icons, QWidget* parent)
    : AnchoredPopup(parent)
    , icons_(icons) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(12, 12, 12, 8);
    header->addWidget(plainLabel(tr("Error History"), FontStyle::headline));
    header->addStretch();
    clearButton_ = new QPushButton(tr("Clear"));
    clearButton_->setFont(vexel::font(FontStyle::caption));
    clearButton_->setFocusPolicy(Qt::NoFocus);
    clearButton_->setAutoDefault(false);
    connect(clearButton_, &QPushButton::clicked, this, [this] {
        if (const std::function<void()> onClear = onClear_) {
            onClear();
        }
    });
    header->addWidget(clearButton_);
    layout->addLayout(header);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setStyleSheet(QStringLiteral("color: rgba(255, 255, 255, 40);"));
    layout->addWidget(divider);

    scroll_ = new QScrollArea;
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setFixedWidth(std::max(listWidth, minimumListWidth));
    scroll_->setMaximumHeight(maximumListHeight);
    rows_ = new QWidget;
    rowLayout_ = new QVBoxLayout(rows_);
    rowLayout_->setContentsMargins(0, 8, 0, 8);
    rowLayout_->setSpacing(8);
    rowLayout_->addStretch();
    scroll_->setWidget(rows_);
    layout->addWidget(scroll_);
}

void ErrorHistoryPopover::setHistory(const std::vector<AppError>& history) {
    while (rowLayout_->count() > 1) {
        QLayoutItem* item = rowLayout_->takeAt(0);
        delete item->widget();
        delete item;
    }
    messages_.clear();
    for (auto error = history.rbegin(); error != history.rend(); ++error) {
        rowLayout_->insertWidget(rowLayout_->count() - 1, makeRow(*error));
        messages_.push_back(QString::fromStdString(error->message));
    }
    // Up to the list's maximum, the popover grows with its rows.
    const int width = scroll_->width() - scroll_->verticalScrollBar()->sizeHint().width();
    // Rows without wrapped text have no height for a width: their own then.
    const int rowsHeight = rowLayout_->hasHeightForWidth() ? rowLayout_->totalHeightForWidth(width)
                                                           : rowLayout_->totalSizeHint().height();
    scroll_->setMinimumHeight(std::min(rowsHeight, maximumListHeight));
    if (isVisible()) {
        adjustSize();
    }
}

QStringList ErrorHistoryPopover::rowMessages() const {
    return messages_;
}

QWidget* ErrorHistoryPopover::makeRow(const AppError& error) {
    const ErrorCategoryLook look = errorCategoryLook(error.category);
    const QColor tint = toQColor(look.tint);
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(12, 0, 12, 0);
    layout->setSpacing(8);

    auto* icon = new QLabel;
    const int iconSize = QFontMetrics(vexel::font(FontStyle::caption)).height();
    icon->setPixmap(
        icons_.pixmap(look.iconName, QSize(iconSize, iconSize), tint, devicePixelRatioF()));
    icon->setFixedWidth(16);
    icon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    layout->addWidget(icon, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    QLabel* message = plainLabel(QString::fromStdString(error.message), FontStyle::caption);
    message->setWordWrap(true);
    texts->addWidget(message);
    if (error.detail) {
        QLabel* detail = plainLabel(QString::fromStdString(*error.detail), FontStyle::caption2,
                                    toQColor(VexelColors::textSecondary));
        detail->setWordWrap(true);
        texts->addWidget(detail);
    }
    layout->addLayout(texts, 1);

    layout->addWidget(plainLabel(timeOfDay(error.timestamp), FontStyle::caption2,
                                 toQColor(VexelColors::textMuted)),
                      0, Qt::AlignTop);
    return row;
}

} // namespace vexel
