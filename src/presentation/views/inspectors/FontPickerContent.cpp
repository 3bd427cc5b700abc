#include "presentation/views/inspectors/FontPickerContent.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/Theme.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace vexel {

namespace {

constexpr int checkedRole = Qt::UserRole + 1;
constexpr int familyRole = Qt::UserRole + 2;

// A row: the name in the caption font, inset 8 and 3, and the check mark at
// the trailing edge of the chosen one.
class FamilyDelegate final : public QStyledItemDelegate {
public:
    FamilyDelegate(QPixmap checkmark, QObject* parent)
        : QStyledItemDelegate(parent)
        , checkmark_(std::move(checkmark)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        if (option.state & QStyle::State_MouseOver) {
            painter->fillRect(option.rect, toQColor(VexelColors::surface700));
        }
        const QRect inner = option.rect.adjusted(8, 3, -8, -3);
        int textRight = inner.right();
        if (index.data(checkedRole).toBool()) {
            const QSize mark = checkmark_.deviceIndependentSize().toSize();
            const QRect markRect(inner.right() - mark.width() + 1,
                                 inner.center().y() - mark.height() / 2, mark.width(),
                                 mark.height());
            painter->drawPixmap(markRect, checkmark_);
            textRight = markRect.left() - 6;
        }
        painter->setFont(vexel::font(FontStyle::caption));
        painter->setPen(option.palette.color(QPalette::Text));
        const QRect textRect(inner.left(), inner.top(), textRight - inner.left(), inner.height());
        const QString name = painter->fontMetrics().elidedText(index.data().toString(),
                                                               Qt::ElideMiddle, textRect.width());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {FontPickerContent::listWidth,
                QFontMetrics(vexel::font(FontStyle::caption)).height() + 6};
    }

private:
    QPixmap checkmark_;
};

} // namespace

class FontPickerContent::Model final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void set(const QStringList& families, const QString& selected) {
        if (families == families_ && selected == selected_) {
            return;
        }
        beginResetModel();
        families_ = families;
        selected_ = selected;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(families_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= families_.size()) {
            return {};
        }
        const QString& family = families_[index.row()];
        switch (role) {
        case Qt::DisplayRole:
            return family.isEmpty() ? QStringLiteral("System") : family;
        case familyRole:
            return family;
        case checkedRole:
            // Exact: a name that differs only in letter case is another family.
            return family == selected_;
        default:
            return {};
        }
    }

private:
    QStringList families_;
    QString selected_;
};

FontPickerContent::FontPickerContent(const IconRegistry& icons, Report onSearch, Report onSelect,
                                     QWidget* parent)
    : QWidget(parent)
    , onSelect_(std::move(onSelect))
    , search_(new QLineEdit(this))
    , list_(new QListView(this))
    , model_(new Model(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(4);
    auto* searchRow = new QVBoxLayout;
    searchRow->setContentsMargins(8, 8, 8, 0);
    search_->setPlaceholderText(QStringLiteral("Search fonts..."));
    search_->setFont(vexel::font(FontStyle::caption));
    search_->setClearButtonEnabled(false);
    searchRow->addWidget(search_);
    layout->addLayout(searchRow);

    const int markSide = QFontMetrics(vexel::font(FontStyle::caption2)).height();
    list_->setModel(model_);
    list_->setItemDelegate(
        new FamilyDelegate(icons.pixmap("checkmark", QSize(markSide, markSide),
                                        toQColor(VexelColors::accent), devicePixelRatioF()),
                           list_));
    list_->setUniformItemSizes(true);
    list_->setMouseTracking(true);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setFixedWidth(listWidth);
    layout->addWidget(list_, 0, Qt::AlignHCenter);

    connect(search_, &QLineEdit::textEdited, this,
            [onSearch = std::move(onSearch)](const QString& text) {
                if (onSearch) {
                    onSearch(text);
                }
            });
    connect(list_, &QListView::clicked, this,
            [this](const QModelIndex& index) { pickRow(index.row()); });
}

void FontPickerContent::showFamilies(const QString& searchText, const QStringList& families,
                                     const QString& selected) {
    if (search_->text() != searchText) {
        search_->setText(searchText);
    }
    model_->set(families, selected);
    // As tall as the rows, up to the limit; beyond it the list scrolls.
    const int rowHeight = list_->sizeHintForRow(0) > 0
                              ? list_->sizeHintForRow(0)
                              : QFontMetrics(vexel::font(FontStyle::caption)).height() + 6;
    list_->setFixedHeight(std::clamp(int(families.size()) * rowHeight, rowHeight, maxListHeight));
}

int FontPickerContent::rowCount() const {
    return model_->rowCount();
}

QString FontPickerContent::rowText(int row) const {
    return model_->index(row).data().toString();
}

bool FontPickerContent::rowChecked(int row) const {
    return model_->index(row).data(checkedRole).toBool();
}

void FontPickerContent::pickRow(int row) {
    if (row < 0 || row >= model_->rowCount() || !onSelect_) {
        return;
    }
    // The handler may close the list: call a copy.
    const Report onSelect = onSelect_;
    onSelect(model_->index(row).data(familyRole).toString());
}

} // namespace vexel
