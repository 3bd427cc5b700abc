#include "presentation/views/preview/PreviewEmptyState.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vexel {

namespace {

constexpr int kSpacing = 12;
constexpr int kSymbolSide = 48;

QLabel* textLabel(const QString& text, FontStyle style, RGBColor color, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(font(style));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, toQColor(color));
    label->setPalette(palette);
    return label;
}

} // namespace

PreviewEmptyState::PreviewEmptyState(const IconRegistry& icons, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(kSpacing);
    layout->addStretch();
    auto* symbol = new QLabel(this);
    symbol->setAlignment(Qt::AlignCenter);
    symbol->setPixmap(icons.pixmap("film.stack", QSize(kSymbolSide, kSymbolSide),
                                   toQColor(VexelColors::textMuted), devicePixelRatioF()));
    layout->addWidget(symbol);
    layout->addWidget(textLabel(tr("Drop media files to preview"), FontStyle::headline,
                                VexelColors::textSecondary, this));
    layout->addWidget(textLabel(tr("Drag video, audio, or image files here to get started"),
                                FontStyle::callout, VexelColors::textMuted, this));
    layout->addStretch();
}

} // namespace vexel
