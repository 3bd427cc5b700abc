#pragma once

#include <QObject>

namespace vexel::update {

// What the application's update menu item drives: a flag that says whether a
// check may start now, and the check itself. How an updater finds out and how
// it tells the user is its own business. GUI thread only.
class Updater : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool canCheckForUpdates() const = 0;
    // A check the user asked for; ignored while canCheckForUpdates() is false.
    virtual void checkForUpdates() = 0;

signals:
    // Emitted with the new value whenever the flag changes.
    void canCheckForUpdatesChanged(bool canCheck);
};

} // namespace vexel::update
