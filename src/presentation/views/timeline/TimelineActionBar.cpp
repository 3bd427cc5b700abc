#include "presentation/views/timeline/TimelineActionBar.h"

#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/Theme.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

namespace vexel {

namespace {

const QColor labelColour(0xE5, 0xE7, 0xEB);

QToolButton* makeHistoryButton(const IconRegistry& icons, const char* symbol, const QString& name,
                               const QString& tip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(icons.icon(symbol, labelColour));
    button->setIconSize(QSize(14, 14));
    button->setMinimumSize(24, 24);
    button->setAccessibleName(name);
    button->setToolTip(tip);
    return button;
}

QToolButton* makeMenuButton(const IconRegistry& icons, const char* symbol, const QString& title,
                            QMenu* menu, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIcon(icons.icon(symbol, labelColour));
    button->setIconSize(QSize(12, 12));
    button->setFont(vexel::font(FontStyle::caption));
    button->setText(title);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setMenu(menu);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

} // namespace

TimelineActionBar::TimelineActionBar(TimelineViewModel& viewModel, const IconRegistry& icons,
                                     QWidget* parent)
    : QWidget(parent)
    , viewModel_(viewModel)
    , addMenu_(new QMenu(this))
    , exportMenu_(new QMenu(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    undo_ = makeHistoryButton(icons, "arrow.uturn.backward", QStringLiteral("Undo"),
                              QStringLiteral("Undo (Ctrl+Z)"), this);
    redo_ = makeHistoryButton(icons, "arrow.uturn.forward", QStringLiteral("Redo"),
                              QStringLiteral("Redo (Ctrl+Shift+Z)"), this);
    connect(undo_, &QAbstractButton::clicked, this, [this] { viewModel_.undo(); });
    connect(redo_, &QAbstractButton::clicked, this, [this] { viewModel_.redo(); });
    row->addWidget(undo_);
    row->addWidget(redo_);

    // A thin line, 14 px high, with 2 px to either side.
    auto* divider = new QWidget(this);
    divider->setFixedSize(1, 14);
    divider->setAutoFillBackground(true);
    QPalette line = divider->palette();
    line.setColor(QPalette::Window, QColor(255, 255, 255, 40));
    divider->setPalette(line);
    row->addSpacing(2 - row->spacing());
    row->addWidget(divider);
    row->addSpacing(2 - row->spacing());

    addMenu_->addAction(icons.icon("doc.badge.plus", labelColour), QStringLiteral("Add File"), this,
                        [this] {
                            if (onAddFile_) {
                                onAddFile_();
                            }
                        });
    addMenu_->addAction(icons.icon("textformat", labelColour), QStringLiteral("Add Text"), this,
                        [this] {
                            if (onAddText_) {
                                onAddText_();
                            }
                        });
    add_ = makeMenuButton(icons, "plus", QStringLiteral("Add"), addMenu_, this);
    row->addWidget(add_);

    for (const auto& [title, format] :
         {std::pair(QStringLiteral("Export as .mov"), ExportFormat::mov),
          std::pair(QStringLiteral("Export as .mp4"), ExportFormat::mp4)}) {
        exportMenu_->addAction(icons.icon("film", labelColour), title, this, [this, format] {
            if (onExport_) {
                onExport_(format);
            }
        });
    }
    export_ =
        makeMenuButton(icons, "square.and.arrow.up", QStringLiteral("Export"), exportMenu_, this);
    row->addWidget(export_);
    row->addStretch();

    undo_->setEnabled(viewModel_.canUndo());
    redo_->setEnabled(viewModel_.canRedo());
    refreshExport();
    connect(&viewModel_, &TimelineViewModel::canUndoChanged, this,
            [this] { undo_->setEnabled(viewModel_.canUndo()); });
    connect(&viewModel_, &TimelineViewModel::canRedoChanged, this,
            [this] { redo_->setEnabled(viewModel_.canRedo()); });
    connect(&viewModel_, &TimelineViewModel::projectChanged, this, [this] { refreshExport(); });
}

void TimelineActionBar::refreshExport() {
    const std::vector<Track>& tracks = viewModel_.project().tracks;
    export_->setEnabled(std::any_of(tracks.begin(), tracks.end(),
                                    [](const Track& track) { return !track.clips.empty(); }));
}

} // namespace vexel
