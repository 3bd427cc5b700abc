#pragma once

#include <QObject>

namespace vexel {

// Asks for the guided tutorial to start again: the settings window posts, the
// main window listens and restarts it. One for the whole application, so that
// a settings window need not know which window shows the tutorial.
class TutorialNotifier : public QObject {
    Q_OBJECT

public:
    explicit TutorialNotifier(QObject* parent = nullptr);

    // Emits showTutorial() to every listener.
    void post();

signals:
    void showTutorial();
};

} // namespace vexel
