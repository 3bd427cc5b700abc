#include "presentation/views/shell/PaletteList.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/kit/TactileButton.h"
#include "presentation/views/kit/Theme.h"

#include <QEvent>
#include <QFontMetrics>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace vexel {

namespace {

constexpr int horizontalPadding = 12;

} // namespace

PaletteList::PaletteList(QWidget* parent)
    : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    viewport()->setStyleSheet(
        QStringLiteral("QPushButton { text-align: left; padding: 0px %1px; border: none; "
                       "border-radius: 6px; background: transparent; }"
                       "QPushButton:hover { background: %2; }"
                       "QPushButton:pressed { background: %3; }")
            .arg(horizontalPadding)
            .arg(toQColor(VexelColors::surface700).name(),
                 toQColor(VexelColors::surface700).lighter(130).name()));
}

void PaletteList::setEntries(QStringList entries) {
    entries_ = std::move(entries);
    setFilter(QString());
}

void PaletteList::setFilter(const QString& text) {
    shown_.clear();
    shown_.reserve(std::size_t(entries_.size()));
    for (int index = 0; index < entries_.size(); ++index) {
        if (text.isEmpty() || entries_[index].contains(text, Qt::CaseInsensitive)) {
            shown_.push_back(index);
        }
    }
    // Every row may hold another entry now.
    std::fill(rowOfButton_.begin(), rowOfButton_.end(), -1);
    updateScrollRange();
    verticalScrollBar()->setValue(0);
    placeRows();
}

QStringList PaletteList::shownEntries() const {
    QStringList entries;
    entries.reserve(qsizetype(shown_.size()));
    for (const int index : shown_) {
        entries.push_back(entries_[index]);
    }
    return entries;
}

std::vector<QPushButton*> PaletteList::visibleButtons() const {
    std::vector<std::pair<int, QPushButton*>> rows;
    for (std::size_t slot = 0; slot < pool_.size(); ++slot) {
        if (rowOfButton_[slot] >= 0) {
            rows.emplace_back(rowOfButton_[slot], pool_[slot]);
        }
    }
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<QPushButton*> buttons;
    for (const auto& row : rows) {
        buttons.push_back(row.second);
    }
    return buttons;
}

int PaletteList::rowHeight() const {
    return QFontMetrics(font()).height() + 12;
}

void PaletteList::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
    placeRows();
}

void PaletteList::scrollContentsBy(int, int) {
    placeRows();
}

bool PaletteList::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        updateScrollRange();
        placeRows();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void PaletteList::updateScrollRange() {
    const int height = rowHeight();
    const int content = int(shown_.size()) * height;
    QScrollBar& bar = *verticalScrollBar();
    bar.setRange(0, std::max(0, content - viewport()->height()));
    bar.setPageStep(viewport()->height());
    bar.setSingleStep(height);
}

void PaletteList::placeRows() {
    const int height = rowHeight();
    const int offset = verticalScrollBar()->value();
    const int first = offset / height;
    // Enough buttons for every row that can be partly in sight.
    const std::size_t needed = std::size_t(viewport()->height() / height + 2);
    while (pool_.size() < needed) {
        auto* button = new TactileButton(viewport());
        button->setFlat(true);
        button->setDefault(false);
        const std::size_t slot = pool_.size();
        connect(button, &QPushButton::clicked, this, [this, slot] {
            const int row = rowOfButton_[slot];
            if (row >= 0 && std::size_t(row) < shown_.size()) {
                emit entryChosen(entries_[shown_[std::size_t(row)]]);
            }
        });
        pool_.push_back(button);
        rowOfButton_.push_back(-1);
    }
    const QFontMetrics metrics(font());
    const int width = viewport()->width();
    const int textWidth = std::max(0, width - 2 * horizontalPadding);
    for (std::size_t slot = 0; slot < pool_.size(); ++slot) {
        QPushButton* button = pool_[slot];
        const int row = first + int(slot);
        if (slot >= needed || row >= int(shown_.size())) {
            rowOfButton_[slot] = -1;
            button->hide();
            continue;
        }
        if (rowOfButton_[slot] != row || button->width() != width) {
            const QString& entry = entries_[shown_[std::size_t(row)]];
            const QString shown = elidedPlain(metrics, entry, Qt::ElideMiddle, textWidth);
            button->setText(escapeMnemonic(shown));
            button->setToolTip(shown == entry ? QString() : plainToolTip(entry));
        }
        rowOfButton_[slot] = row;
        button->setGeometry(0, row * height - offset, width, height);
        button->show();
    }
}

} // namespace vexel
