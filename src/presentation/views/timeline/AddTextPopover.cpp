#include "presentation/views/timeline/AddTextPopover.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/TactileButton.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/timeline/AddTextPopoverState.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vexel {

AddTextPopover::AddTextPopover(AddTextPopoverState& state, QWidget* parent)
    : AnchoredPopup(parent)
    , state_(state)
    , field_(new QLineEdit(this))
    , limitMessage_(new QLabel(this))
    , addButton_(new TactileButton(QStringLiteral("Add"), this))
    , cancelButton_(new TactileButton(QStringLiteral("Cancel"), this)) {
    setMinimumWidth(250);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(12);
    layout->setContentsMargins(16, 16, 16, 16);

    auto* title = new QLabel(QStringLiteral("Add Text Overlay"), this);
    title->setTextFormat(Qt::PlainText);
    title->setFont(vexel::font(FontStyle::headline));
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);

    field_->setPlaceholderText(QStringLiteral("Enter text..."));
    layout->addWidget(field_);

    limitMessage_->setTextFormat(Qt::PlainText);
    limitMessage_->setText(
        QStringLiteral("Text exceeds %1 byte limit").arg(AddTextPopoverState::byteLimit));
    limitMessage_->setFont(vexel::font(FontStyle::caption));
    limitMessage_->setAlignment(Qt::AlignCenter);
    QPalette colours = limitMessage_->palette();
    colours.setColor(QPalette::WindowText, toQColor(VexelColors::error));
    limitMessage_->setPalette(colours);
    layout->addWidget(limitMessage_);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(addButton_);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(field_, &QLineEdit::textEdited, this,
            [this](const QString& text) { state_.setText(text); });
    connect(&state_, &AddTextPopoverState::textChanged, this, [this] { refresh(); });
    connect(addButton_, &QAbstractButton::clicked, this, [this] { add(); });
    connect(cancelButton_, &QAbstractButton::clicked, this, [this] {
        if (const std::function<void()> cancel = onCancel_) {
            cancel();
        }
    });
    refresh();
}

void AddTextPopover::refresh() {
    if (field_->text() != state_.text()) {
        const QSignalBlocker quiet(field_);
        field_->setText(state_.text());
    }
    limitMessage_->setVisible(state_.exceedsLimit());
    addButton_->setEnabled(state_.canAdd());
    adjustSize();
}

void AddTextPopover::add() {
    if (!state_.canAdd()) {
        return;
    }
    if (const std::function<void(EditCommand)> onAdd = onAdd_) {
        onAdd(state_.addCommand());
    }
}

void AddTextPopover::keyPressEvent(QKeyEvent* event) {
    // The field passes Return on, so that it adds once, here.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        add();
        event->accept();
        return;
    }
    AnchoredPopup::keyPressEvent(event);
}

void AddTextPopover::showEvent(QShowEvent* event) {
    AnchoredPopup::showEvent(event);
    field_->setFocus();
}

} // namespace vexel
