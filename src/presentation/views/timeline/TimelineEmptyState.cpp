#include "presentation/views/timeline/TimelineEmptyState.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/Theme.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vexel {

TimelineEmptyState::TimelineEmptyState(const IconRegistry& icons, QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    auto* symbol = new QLabel(this);
    symbol->setPixmap(icons.pixmap("timeline.selection", QSize(48, 48),
                                   toQColor(VexelColors::textMuted), devicePixelRatioF()));
    symbol->setAlignment(Qt::AlignCenter);
    layout->addWidget(symbol);
    auto* hint =
        new QLabel(QStringLiteral("Drop media files here or use the instruction bar"), this);
    hint->setTextFormat(Qt::PlainText);
    hint->setFont(vexel::font(FontStyle::headline));
    hint->setAlignment(Qt::AlignCenter);
    QPalette colours = hint->palette();
    colours.setColor(QPalette::WindowText, toQColor(VexelColors::textSecondary));
    hint->setPalette(colours);
    layout->addWidget(hint);
    layout->addStretch();
}

} // namespace vexel
