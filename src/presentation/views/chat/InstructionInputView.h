#pragma once

#include "presentation/viewmodels/InstructionViewModel.h"
#include "presentation/views/kit/IconRegistry.h"

#include <QFrame>
#include <QMetaObject>
#include <QPointer>

class QAbstractButton;
class QLabel;
class QLineEdit;

namespace vexel {

class ChatHistoryView;
class ExportProgressStrip;
class SelectionHintBar;
class SendButton;
class TargetClipChip;

// The chat column: the conversation, then the hint about the selected clip,
// then the chat bar where instructions are typed and sent. While an
// instruction runs the bar shows that it is busy and offers to cancel; while
// an export runs it shows its progress. GUI thread only.
class InstructionInputView : public QWidget {
    Q_OBJECT

public:
    // The user default that records a dismissed selection hint.
    static constexpr const char* selectionHintKey = "hasSeenSelectionHint";

    InstructionInputView(InstructionViewModel& viewModel, const IconRegistry& icons,
                         QWidget* parent = nullptr);

    // The height of the chat bar at the bottom of the column.
    int inputBarHeight() const;

    // Whether the guided tutorial waits for the user to send something.
    bool isTutorialInputStep() const;

    ChatHistoryView* historyView() const { return history_; }
    SelectionHintBar* hintBar() const { return hintBar_; }
    QWidget* inputBar() const { return inputBar_; }
    ExportProgressStrip* progressStrip() const { return progress_; }
    TargetClipChip* targetChip() const { return chip_; }
    QLineEdit* inputField() const { return field_; }
    SendButton* sendButton() const { return send_; }
    QWidget* busyCluster() const { return busy_; }
    QLabel* busyLabel() const { return busyLabel_; }
    QAbstractButton* cancelButton() const { return cancel_; }

signals:
    void inputBarHeightChanged(int height);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showText();
    void showBusy();
    void showSelection();
    void showProgress();
    void showTutorialStep();
    void watchTutorial();
    void answerFocusRequest();
    bool hasSeenSelectionHint() const;

    QPointer<InstructionViewModel> viewModel_;
    ChatHistoryView* history_ = nullptr;
    SelectionHintBar* hintBar_ = nullptr;
    QFrame* inputBar_ = nullptr;
    ExportProgressStrip* progress_ = nullptr;
    TargetClipChip* chip_ = nullptr;
    QLineEdit* field_ = nullptr;
    SendButton* send_ = nullptr;
    QWidget* busy_ = nullptr;
    QLabel* busyLabel_ = nullptr;
    QAbstractButton* cancel_ = nullptr;
    QMetaObject::Connection stepConnection_;
    int reportedHeight_ = -1;
    // The running instruction was sent with the focus in the field.
    bool refocusAfterRun_ = false;
};

} // namespace vexel
