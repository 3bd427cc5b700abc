#include "presentation/views/chat/InstructionInputView.h"

#include "foundation/UnicodeText.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/chat/ActivitySpinner.h"
#include "presentation/views/chat/ChatHistoryView.h"
#include "presentation/views/chat/ExportProgressStrip.h"
#include "presentation/views/chat/SelectionHintBar.h"
#include "presentation/views/chat/SendButton.h"
#include "presentation/views/chat/TargetClipChip.h"
#include "presentation/views/kit/IconButton.h"
#include "presentation/views/kit/PlainLabel.h"
#include "presentation/views/kit/TextFieldKeys.h"
#include "presentation/views/kit/Theme.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace vexel {

namespace {

constexpr double inputBarCornerRadius = 12;

} // namespace

InstructionInputView::InstructionInputView(InstructionViewModel& viewModel,
                                           const IconRegistry& icons, QWidget* parent)
    : QWidget(parent)
    , viewModel_(&viewModel) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    history_ = new ChatHistoryView(viewModel, icons);
    column->addWidget(history_, 1);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::WindowText, QColor(255, 255, 255, 30));
    divider->setPalette(dividerPalette);
    column->addWidget(divider);

    hintBar_ = new SelectionHintBar(icons);
    connect(hintBar_, &SelectionHintBar::dismissed, this, [this] {
        if (viewModel_) {
            viewModel_->userDefaults().setValue(selectionHintKey, true);
        }
        showSelection();
    });
    column->addWidget(hintBar_);

    inputBar_ = new QFrame;
    inputBar_->installEventFilter(this);
    auto* bar = new QVBoxLayout(inputBar_);
    bar->setContentsMargins(8, 8, 8, 8);
    bar->setSpacing(4);
    progress_ = new ExportProgressStrip;
    bar->addWidget(progress_);

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    chip_ = new TargetClipChip;
    row->addWidget(chip_, 0, Qt::AlignVCenter);
    field_ = new QLineEdit;
    field_->setFrame(false);
    field_->setPlaceholderText(tr("Enter instruction..."));
    field_->setMinimumWidth(60);
    // The bar draws the field's background.
    field_->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette fieldPalette = field_->palette();
    fieldPalette.setColor(QPalette::Base, Qt::transparent);
    field_->setPalette(fieldPalette);
    new TextFieldKeys(*field_);
    connect(field_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (viewModel_) {
            viewModel_->setInstructionText(text.toStdString());
        }
    });
    connect(field_, &QLineEdit::returnPressed, this, [this] {
        if (viewModel_) {
            viewModel_->startSubmit();
        }
    });
    row->addWidget(field_, 1);

    send_ = new SendButton;
    connect(send_, &SendButton::clicked, this, [this] {
        if (viewModel_) {
            viewModel_->startSubmit();
        }
    });
    row->addWidget(send_);

    busy_ = new QWidget;
    auto* busyRow = new QHBoxLayout(busy_);
    busyRow->setContentsMargins(0, 0, 0, 0);
    busyRow->setSpacing(6);
    busyRow->addWidget(new ActivitySpinner);
    busyLabel_ =
        plainLabel(tr("Processing..."), FontStyle::caption, toQColor(VexelColors::textSecondary));
    busyRow->addWidget(busyLabel_);
    QToolButton* cancel =
        iconButton(icons, "xmark.circle.fill", toQColor(VexelColors::textSecondary),
                   QFontMetrics(vexel::font(FontStyle::body)).height(), tr("Cancel instruction"));
    connect(cancel, &QToolButton::clicked, this, [this] {
        if (viewModel_) {
            viewModel_->cancel();
        }
    });
    cancel_ = cancel;
    busyRow->addWidget(cancel_);
    row->addWidget(busy_);
    bar->addLayout(row);
    column->addWidget(inputBar_);

    showText();
    showBusy();
    showSelection();
    showProgress();
    watchTutorial();

    connect(&viewModel, &InstructionViewModel::instructionTextChanged, this,
            &InstructionInputView::showText);
    connect(&viewModel, &InstructionViewModel::currentTaskChanged, this,
            &InstructionInputView::showBusy);
    connect(&viewModel, &InstructionViewModel::shouldFocusInputChanged, this,
            &InstructionInputView::answerFocusRequest);
    connect(&viewModel, &InstructionViewModel::tutorialOrchestratorChanged, this,
            &InstructionInputView::watchTutorial);
    connect(&viewModel.exportCoordinator(), &ExportCoordinator::exportProgressChanged, this,
            &InstructionInputView::showProgress);
    TimelineViewModel& timeline = viewModel.timelineViewModel();
    connect(&timeline, &TimelineViewModel::selectedClipIdChanged, this,
            &InstructionInputView::showSelection);
    connect(&timeline, &TimelineViewModel::projectChanged, this,
            &InstructionInputView::showSelection);
}

int InstructionInputView::inputBarHeight() const {
    return inputBar_->height();
}

bool InstructionInputView::isTutorialInputStep() const {
    if (!viewModel_) {
        return false;
    }
    TutorialOrchestrator* orchestrator = viewModel_->tutorialOrchestrator();
    if (orchestrator == nullptr) {
        return false;
    }
    const std::optional<TutorialStep> step = orchestrator->tutorialState().currentStep();
    if (!step) {
        return false;
    }
    const TutorialStepConfig config = orchestrator->config(*step);
    return config.commandBuilder || config.hardcodedResponse || *step == TutorialStep::exportVideo;
}

void InstructionInputView::showText() {
    if (!viewModel_) {
        return;
    }
    const std::string& text = viewModel_->instructionText();
    const QString shown = QString::fromStdString(text);
    if (field_->text() != shown) {
        field_->setText(shown);
    }
    // The same blanks as the view model trims: spaces and tabs, not line breaks.
    send_->setEnabled(!unicode::trimmingWhitespace(text).empty());
}

void InstructionInputView::showBusy() {
    const bool busy = viewModel_ && viewModel_->currentTask().has_value();
    // A disabled field hands its focus on to the next widget. An instruction
    // sent from the field gives it back when it ends, so that the next one
    // can be typed and Ctrl+Z reaches the instruction's edits, unless the
    // user has put the focus elsewhere meanwhile.
    if (busy && field_->hasFocus()) {
        refocusAfterRun_ = true;
    }
    field_->setEnabled(!busy);
    if (!busy && std::exchange(refocusAfterRun_, false)) {
        const QWidget* focus = window()->focusWidget();
        if (focus == nullptr || isAncestorOf(focus)) {
            field_->setFocus(Qt::OtherFocusReason);
        }
    }
    send_->setVisible(!busy);
    busy_->setVisible(busy);
}

bool InstructionInputView::hasSeenSelectionHint() const {
    return viewModel_ && viewModel_->userDefaults().value(selectionHintKey, false).toBool();
}

void InstructionInputView::showSelection() {
    const std::optional<std::string> name =
        viewModel_ ? viewModel_->selectedClipInfo() : std::nullopt;
    chip_->setVisible(name.has_value());
    hintBar_->setVisible(name.has_value() && !hasSeenSelectionHint());
    if (name) {
        const QString clipName = QString::fromStdString(*name);
        chip_->setClipName(clipName);
        hintBar_->setClipName(clipName);
    }
}

void InstructionInputView::showProgress() {
    progress_->setProgress(viewModel_ ? viewModel_->exportCoordinator().exportProgress()
                                      : std::nullopt);
}

void InstructionInputView::watchTutorial() {
    QObject::disconnect(stepConnection_);
    if (viewModel_ && viewModel_->tutorialOrchestrator() != nullptr) {
        stepConnection_ = connect(&viewModel_->tutorialOrchestrator()->tutorialState(),
                                  &TutorialState::currentStepChanged, this,
                                  &InstructionInputView::showTutorialStep);
    }
    showTutorialStep();
}

void InstructionInputView::showTutorialStep() {
    send_->setHighlighted(isTutorialInputStep());
}

void InstructionInputView::answerFocusRequest() {
    if (!viewModel_ || !viewModel_->shouldFocusInput()) {
        return;
    }
    field_->setFocus(Qt::OtherFocusReason);
    // Reset, so that the next request is a change again.
    viewModel_->setShouldFocusInput(false);
}

bool InstructionInputView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == inputBar_) {
        if (event->type() == QEvent::Paint) {
            QPainter painter(inputBar_);
            painter.setRenderHint(QPainter::Antialiasing);
            QPainterPath shape;
            shape.addRoundedRect(QRectF(inputBar_->rect()), inputBarCornerRadius,
                                 inputBarCornerRadius);
            painter.fillPath(shape, palette().color(QPalette::Base));
        } else if (event->type() == QEvent::Resize && inputBar_->height() != reportedHeight_) {
            reportedHeight_ = inputBar_->height();
            emit inputBarHeightChanged(reportedHeight_);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vexel
