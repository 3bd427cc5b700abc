#include "app/QuitController.h"

#include <QCoro/QCoroTask>
#include <QMetaObject>
#include <QPointer>

#include <utility>

namespace vexel {

namespace {

enum QuitAnswer { save = 0, dontSave = 1 };

AlertRequest quitQuestion() {
    return AlertRequest{QStringLiteral("Vexel"),
                        QStringLiteral("Save changes before quitting?"),
                        QStringLiteral("Your unsaved changes will be lost if you don't save them."),
                        {{QStringLiteral("Save"), AlertButtonRole::defaultAction},
                         {QStringLiteral("Don't Save"), AlertButtonRole::destructive},
                         {QStringLiteral("Cancel"), AlertButtonRole::cancel}}};
}

} // namespace

QuitController::QuitController(DialogService& dialogs, std::shared_ptr<Logger> logger,
                               std::function<void()> terminate, QObject* parent)
    : QObject(parent)
    , dialogs_(dialogs)
    , logger_(std::move(logger))
    , terminate_(std::move(terminate)) {}

void QuitController::setHooks(Hooks hooks) {
    hooks_ = std::move(hooks);
}

bool QuitController::documentIsDirty() const {
    return hooks_.isDirty && hooks_.isDirty();
}

void QuitController::cleanUpAutoSave() const {
    if (hooks_.cleanUpAutoSave) {
        hooks_.cleanUpAutoSave();
    }
}

void QuitController::allowAndQuit() {
    allowed_ = true;
    emit quitAllowed();
    // Told later, from the event loop: a request may come from inside a
    // window's close event, where closing that window again would fail and
    // take the quit with it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (terminate_) {
                terminate_();
            }
        },
        Qt::QueuedConnection);
}

void QuitController::requestQuit() {
    if (allowed_ || isDeciding()) {
        return;
    }
    if (!documentIsDirty()) {
        cleanUpAutoSave();
        allowAndQuit();
        return;
    }
    decision_ = TaskHandle::start(
        [self = QPointer(this)](std::stop_token stop) { return decide(self, std::move(stop)); },
        logger_);
}

QCoro::Task<void> QuitController::decide(QPointer<QuitController> self, std::stop_token) {
    if (!self) {
        co_return;
    }
    // The auto-save holds the current state before the question opens, so
    // that whatever happens to the process meanwhile, the work is on disk.
    if (const std::function<QCoro::Task<void>()> flush = self->hooks_.flushAutoSave) {
        QCoro::Task<void> flushing = flush();
        co_await flushing;
    }
    if (!self) {
        co_return;
    }
    QCoro::Task<int> asking = self->dialogs_.alert(quitQuestion());
    const int answer = co_await asking;
    if (!self || self->allowed_) {
        co_return;
    }
    switch (answer) {
    case QuitAnswer::save:
        if (const std::function<QCoro::Task<void>()> save = self->hooks_.save) {
            QCoro::Task<void> saving = save();
            co_await saving;
            if (!self) {
                co_return;
            }
            // A document without a folder only asked the window for one, and a
            // failed save kept its changes: either way the work is not safe
            // yet, so it stays open with its auto-save.
            if (self->documentIsDirty()) {
                co_return;
            }
        }
        self->cleanUpAutoSave();
        self->allowAndQuit();
        break;
    case QuitAnswer::dontSave:
        self->cleanUpAutoSave();
        self->allowAndQuit();
        break;
    default:
        break;
    }
}

bool QuitController::commitData(bool interactionAllowed) {
    if (allowed_) {
        return false;
    }
    if (interactionAllowed) {
        requestQuit();
        return !allowed_;
    }
    QCoro::waitFor(flushAndQuit(QPointer(this)));
    return false;
}

QCoro::Task<void> QuitController::flushAndQuit(QPointer<QuitController> self) {
    if (const std::function<QCoro::Task<void>()> flush = self->hooks_.flushAutoSave) {
        QCoro::Task<void> flushing = flush();
        co_await flushing;
    }
    if (self) {
        self->allowAndQuit();
    }
}

} // namespace vexel
