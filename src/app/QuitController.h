#pragma once

#include "foundation/Logger.h"
#include "presentation/viewmodels/runtime/TaskHandle.h"
#include "presentation/views/kit/DialogService.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace vexel {

// Decides whether the application may end, so that quitting never loses
// unsaved work. Every way of quitting (the window's close button, Ctrl+Q, the
// session ending) comes here: the request is held back, the pending auto-save
// is written, the user is asked "Save changes before quitting?", and only a
// decision to quit marks the quit as allowed and ends the application. Until
// the editor exists there is nothing to lose and quitting is immediate.
// GUI thread only.
class QuitController : public QObject {
    Q_OBJECT

public:
    // How the controller reaches the open document, once there is one.
    struct Hooks {
        // Whether the document has unsaved changes; none counts as clean.
        std::function<bool()> isDirty;
        // Saves the document where it lives, or asks the window for a place.
        std::function<QCoro::Task<void>()> save;
        // Writes the pending auto-save at once.
        std::function<QCoro::Task<void>()> flushAutoSave;
        // Removes the auto-save; never throws.
        std::function<void()> cleanUpAutoSave;
    };

    // `terminate` ends the application once quitting is allowed.
    QuitController(DialogService& dialogs, std::shared_ptr<Logger> logger,
                   std::function<void()> terminate, QObject* parent = nullptr);

    // Replaces the hooks.
    void setHooks(Hooks hooks);

    // Set once quitting has been decided; the windows then close.
    bool isQuitAllowed() const { return allowed_; }
    // The question is open (or its answer is being carried out).
    bool isDeciding() const { return decision_ && !decision_->isFinished(); }
    // The decision started last.
    const std::optional<TaskHandle>& decision() const { return decision_; }

    // A clean document quits at once, its auto-save removed. A dirty one is
    // flushed and the user asked: Save quits once the document is saved (it
    // stays open, with its auto-save, when it has no folder yet or the save
    // failed), Don't Save quits without the auto-save, Cancel goes on. A
    // request while the question is open asks nothing.
    void requestQuit();

    // The session is ending. With interaction allowed it is held back (true:
    // cancel the shutdown) and the user is asked as for any quit; without, the
    // pending auto-save is written before this returns and kept for recovery
    // at the next start, and the application ends (false).
    bool commitData(bool interactionAllowed);

signals:
    // Quitting was decided, just before the application is told to end.
    void quitAllowed();

private:
    static QCoro::Task<void> decide(QPointer<QuitController> self, std::stop_token stop);
    static QCoro::Task<void> flushAndQuit(QPointer<QuitController> self);
    bool documentIsDirty() const;
    void cleanUpAutoSave() const;
    void allowAndQuit();

    DialogService& dialogs_;
    std::shared_ptr<Logger> logger_;
    std::function<void()> terminate_;
    Hooks hooks_;
    bool allowed_ = false;
    std::optional<TaskHandle> decision_;
};

} // namespace vexel
