#include "presentation/views/inspectors/InspectorParts.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/IconRegistry.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <utility>

namespace vexel {

QLabel* makeLabel(const QString& text, FontStyle style, RGBColor color, QWidget* parent) {
    QLabel* label = makeLabel(text, style, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, toQColor(color));
    label->setPalette(palette);
    return label;
}

QLabel* makeLabel(const QString& text, FontStyle style, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font(style));
    return label;
}

QToolButton* makeTrashButton(const QString& label, const IconRegistry& icons, QWidget* parent) {
    auto* button = new QToolButton(parent);
    const QFont caption = font(FontStyle::caption);
    const int side = QFontMetrics(caption).height();
    button->setIcon(icons.icon("trash", toQColor(VexelColors::error)));
    button->setIconSize(QSize(side, side));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(label);
    button->setAccessibleName(label);
    return button;
}

QWidget* makeSectionHeader(const QString& title, const IconRegistry& icons,
                           std::function<void()> onRemove, QWidget* parent) {
    auto* header = new QWidget(parent);
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeLabel(title, FontStyle::headline, VexelColors::textSecondary));
    layout->addStretch();
    QToolButton* remove =
        makeTrashButton(QStringLiteral("Remove ") + title.toLower(), icons, header);
    QObject::connect(remove, &QToolButton::clicked, header, [onRemove = std::move(onRemove)] {
        if (onRemove) {
            onRemove();
        }
    });
    layout->addWidget(remove);
    return header;
}

QWidget* makeSection(const QString& title, const IconRegistry& icons,
                     std::function<void()> onRemove) {
    auto* section = new QWidget;
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(makeSectionHeader(title, icons, std::move(onRemove), section));
    return section;
}

QWidget* makeSectionList(const std::vector<QWidget*>& sections) {
    auto* list = new QWidget;
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (i > 0) {
            layout->addWidget(makeDivider(list));
        }
        layout->addWidget(sections[i]);
    }
    layout->addStretch();
    return list;
}

QWidget* makeParameterRow(const QString& label, int labelWidth, QWidget* content,
                          FontStyle labelStyle, bool fill, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel* title = makeLabel(label, labelStyle, row);
    title->setFixedWidth(labelWidth);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(title);
    layout->addWidget(content, fill ? 1 : 0);
    if (!fill) {
        layout->addStretch();
    }
    return row;
}

QFrame* makeDivider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, toQColor(VexelColors::surface700));
    line->setPalette(palette);
    return line;
}

QWidget* makeEmptyState(const IconRegistry& icons, std::string_view symbol, const QString& title,
                        const QString& hint, QWidget* parent) {
    auto* empty = new QWidget(parent);
    auto* layout = new QVBoxLayout(empty);
    layout->setContentsMargins(0, 16, 0, 16);
    layout->setSpacing(8);
    auto* image = new QLabel(empty);
    image->setPixmap(icons.pixmap(symbol, QSize(32, 32), toQColor(VexelColors::textMuted),
                                  empty->devicePixelRatioF()));
    image->setAlignment(Qt::AlignCenter);
    layout->addWidget(image);
    QLabel* heading = makeLabel(title, FontStyle::headline, VexelColors::textSecondary, empty);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);
    QLabel* hintLabel = makeLabel(hint, FontStyle::caption, VexelColors::textMuted, empty);
    hintLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(hintLabel);
    return empty;
}

} // namespace vexel
