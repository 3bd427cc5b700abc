#include "presentation/views/inspectors/InspectorPopover.h"

#include "presentation/views/kit/TactileButton.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace vexel {

FittingScrollArea::FittingScrollArea(int maxHeight, QWidget* parent)
    : QScrollArea(parent)
    , maxHeight_(maxHeight) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
}

QSize FittingScrollArea::sizeHint() const {
    const int content = widget() != nullptr ? widget()->sizeHint().height() : 0;
    return {QScrollArea::sizeHint().width(), std::min(content, maxHeight_)};
}

QSize FittingScrollArea::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

InspectorPopover::InspectorPopover(int maxListHeight, ApplyAction onApply,
                                   std::function<void()> onDismiss, QWidget* parent)
    : QFrame(parent)
    , onApply_(std::move(onApply))
    , onDismiss_(std::move(onDismiss))
    , layout_(new QVBoxLayout(this))
    , scrollArea_(new FittingScrollArea(maxListHeight, this))
    , buttonRow_(new QHBoxLayout)
    , cancelButton_(new TactileButton(QStringLiteral("Cancel"), this))
    , applyButton_(new TactileButton(QStringLiteral("Apply"), this)) {
    setFixedWidth(popoverWidth);
    layout_->setContentsMargins(16, 16, 16, 16);
    layout_->setSpacing(12);
    layout_->addWidget(scrollArea_);
    buttonRow_->addStretch();
    buttonRow_->addWidget(cancelButton_);
    buttonRow_->addWidget(applyButton_);
    layout_->addLayout(buttonRow_);
    applyButton_->setDefault(true);
    connect(cancelButton_, &QPushButton::clicked, this, &InspectorPopover::cancel);
    connect(applyButton_, &QPushButton::clicked, this, &InspectorPopover::apply);
}

void InspectorPopover::setContent(QWidget* content, QWidget* empty) {
    if (empty_ != nullptr) {
        empty_->hide();
        empty_->setParent(nullptr);
        empty_->deleteLater();
        empty_ = nullptr;
    }
    if (QWidget* previous = scrollArea_->takeWidget()) {
        previous->deleteLater();
    }
    if (content != nullptr) {
        // The sections keep their own width: the list only ever scrolls
        // vertically.
        scrollArea_->setWidget(content);
        scrollArea_->setVisible(true);
        if (empty != nullptr) {
            empty->deleteLater();
        }
    } else {
        scrollArea_->setVisible(false);
        empty_ = empty;
        if (empty_ != nullptr) {
            empty_->setParent(this);
            layout_->insertWidget(0, empty_);
            empty_->show();
        }
    }
    refresh();
    // The popup follows the content: shorter once a section has gone.
    scrollArea_->updateGeometry();
    if (QWidget* popup = window(); popup != this && popup->isVisible()) {
        if (popup->layout() != nullptr) {
            popup->layout()->activate();
        }
        popup->adjustSize();
    }
}

void InspectorPopover::refresh() {
    applyButton_->setEnabled(canApply());
}

void InspectorPopover::apply() {
    if (!canApply()) {
        return;
    }
    if (hasChanges() && onApply_) {
        onApply_(buildCommands());
    }
    dismiss();
}

void InspectorPopover::cancel() {
    dismiss();
}

void InspectorPopover::dismiss() {
    if (dismissed_) {
        return;
    }
    dismissed_ = true;
    // The owner may let go of the form from here: call a copy.
    if (const std::function<void()> onDismiss = onDismiss_) {
        onDismiss();
    }
}

void InspectorPopover::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Return applies only what the enabled Apply button would.
        apply();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        cancel();
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace vexel
