#include "journeys/Drive.h"

#include "app/AppEnvironment.h"
#include "app/DependencyContainer.h"
#include "app/EditorLaunch.h"
#include "app/screenshots/ScreenGrab.h"
#include "foundation/Json.h"
#include "foundation/StreamLogger.h"
#include "presentation/helpers/TutorialStep.h"
#include "presentation/support/Keyboard.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/shell/MainWindowCommands.h"
#include "support/RunEventsUntil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace vexel::journeys {

namespace {

// As main() reads it: VEXEL_DEBUG_LOG=1 shows the private text of every line.
bool debugLogging() {
    const char* value = std::getenv("VEXEL_DEBUG_LOG");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

} // namespace

std::unique_ptr<AppController> startEditor(std::optional<std::filesystem::path> folder,
                                           std::shared_ptr<Logger> logger) {
    if (!logger) {
        logger = std::make_shared<StreamLogger>(stderr, debugLogging());
    }
    return launchEditor(std::move(logger), std::move(folder)).editor;
}

void startPastWelcome(std::unique_ptr<AppController>& app) {
    app = startEditor();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    ASSERT_TRUE(waitUntil([&] { return app->startup()->isFinished(); }));
    activate(app->window());
    ASSERT_NO_FATAL_FAILURE(skipWelcome(*app));
}

bool waitForAutoSave(const Project& project) {
    const std::shared_ptr<const FileAutoSaveService> autoSave =
        DependencyContainer::makeAutoSaveService(
            AppEnvironment::system(std::make_shared<StreamLogger>(stderr)));
    return waitUntil(
        [&] {
            try {
                return autoSave->exists() && autoSave->load() == project;
            } catch (...) {
                return false;
            }
        },
        std::chrono::seconds(60));
}

const Project& shownProject(const AppController& app) {
    return app.editorGraph()->timelineViewModel().project();
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    QTimer poll;
    poll.start(std::chrono::milliseconds(20));
    return vexel::testing::runEventsUntil(done, limit);
}

QFileDialog* waitForFilePanel(const QString& title) {
    return test::waitForFilePanel(title, std::chrono::seconds(30));
}

void answerFilePanel(QFileDialog& panel, const std::filesystem::path& path) {
    auto* name = panel.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    // Typed at once: key by key, the name completer's list would open and take
    // the Return.
    name->setFocus();
    name->setText(QFile::decodeName(path.c_str()));
    QTest::keyClick(name, Qt::Key_Return);
}

void activate(QWidget& window) {
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window)) << "the window did not become active";
}

void skipWelcome(const AppController& app) {
    QAbstractButton* skip = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (QAbstractButton* button : app.window().findChildren<QAbstractButton*>()) {
            if (button->isVisible() && button->text() == QStringLiteral("Skip")) {
                skip = button;
            }
        }
        return skip != nullptr;
    })) << "no welcome to skip";
    QTest::mouseClick(skip, Qt::LeftButton);
    const TutorialState& tutorial = app.editorGraph()->tutorialState();
    ASSERT_TRUE(waitUntil([&] { return !tutorial.currentStep(); }));
}

void skipWelcomeIfShown(const AppController& app) {
    // The welcome comes with the editor's first showing, which may follow
    // the start-up's end.
    ASSERT_TRUE(waitUntil([&] {
        const MainView* view = app.window().mainView();
        return view != nullptr && view->isVisible();
    })) << "the editor never showed";
    if (app.editorGraph()->tutorialState().currentStep() == TutorialStep::welcome) {
        skipWelcome(app);
    }
}

void chooseFromMenu(QToolButton& button, const QString& item) {
    QMenu* menu = button.menu();
    ASSERT_NE(menu, nullptr);
    QAction* action = nullptr;
    for (QAction* candidate : menu->actions()) {
        if (candidate->text() == item) {
            action = candidate;
        }
    }
    ASSERT_NE(action, nullptr) << "no item \"" << item.toStdString() << "\"";
    bool chosen = false;
    // The button runs its menu in a loop of its own: the item is clicked from
    // inside it. A click through the window system first handles the events
    // already waiting, so the menu is looked for until it is up.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, menu, [&] {
        if (!menu->isVisible()) {
            return;
        }
        poll.stop();
        if (QTest::qWaitForWindowExposed(menu)) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            chosen = true;
        }
    });
    poll.start();
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] { return chosen; })) << "the menu did not open";
}

void expectReopened(const AppController& app, const std::filesystem::path& folder,
                    const Project& saved) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    ASSERT_TRUE(waitUntil([&] { return app.startup()->isFinished(); }))
        << "the start-up did not end (was a question asked?)";
    const MainViewModel& document = app.editorGraph()->mainViewModel();
    EXPECT_EQ(document.currentProjectURL(), folder);
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(shownProject(app), saved);
    waitForPreview(app);
}

void waitForPreview(const AppController& app) {
    MainView* view = app.window().mainView();
    ASSERT_NE(view, nullptr);
    const PreviewRebuilder& rebuilder = view->previewRebuilder();
    const PreviewViewModel& preview = app.editorGraph()->previewViewModel();
    auto ended = [](const std::optional<TaskHandle>& task) { return !task || task->isFinished(); };
    EXPECT_TRUE(waitUntil([&] {
        return ended(rebuilder.pendingRebuild()) && ended(preview.loadingTask()) &&
               preview.hasContent() && preview.player().currentVideoFrame().has_value();
    })) << "the preview did not load";
}

void dropFiles(QWidget& target, const QList<QUrl>& files) {
    QMimeData data;
    data.setUrls(files);
    const QPoint point = target.rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    ASSERT_TRUE(enter.isAccepted()) << "the drop target refused the files";
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(&target, &drop);
    ASSERT_TRUE(drop.isAccepted()) << "the drop was not taken";
}

QUrl fileUrl(const std::filesystem::path& path) {
    return QUrl::fromLocalFile(QFile::decodeName(path.c_str()));
}

DraggableClipBar* barOf(const TimelinePanel& panel, const Uuid& clipId) {
    for (DraggableClipBar* bar : panel.findChildren<DraggableClipBar*>()) {
        if (bar->isVisible() && bar->clip().id == clipId) {
            return bar;
        }
    }
    return nullptr;
}

namespace {

// Waits for the save that `keys` start through the file panel `title`,
// answered with `folder`; `answer` settles what the panel asks then.
void saveThroughPanel(MainWindow& window, QKeyCombination keys, const QString& title,
                      const std::filesystem::path& folder, const std::function<void()>& answer) {
    const MainWindowCommands& commands = window.commands();
    const std::optional<TaskHandle> before = commands.lastTask();
    activate(window);
    test::press(window, keys);
    QFileDialog* panel = waitForFilePanel(title);
    ASSERT_NE(panel, nullptr);
    ASSERT_NO_FATAL_FAILURE(answerFilePanel(*panel, folder));
    ASSERT_NO_FATAL_FAILURE(answer());
    ASSERT_TRUE(waitUntil([&] {
        return commands.lastTask() != before && commands.lastTask()->isFinished();
    })) << "the save did not end";
    const MainViewModel& document = window.editorGraph()->mainViewModel();
    EXPECT_EQ(document.currentProjectURL(), folder);
    EXPECT_FALSE(document.isDirty()) << "the project was not saved";
}

} // namespace

void saveWithKeys(MainWindow& window, const std::filesystem::path& folder) {
    saveThroughPanel(window, Qt::CTRL | Qt::Key_S, QStringLiteral("Save Project"), folder, [] {});
}

void saveAsOverWithKeys(MainWindow& window, const std::filesystem::path& folder) {
    saveThroughPanel(
        window, Qt::CTRL | Qt::SHIFT | Qt::Key_S, QStringLiteral("Save Project As"), folder, [&] {
            QMessageBox* replace = test::waitForQuestion();
            ASSERT_NE(replace, nullptr);
            EXPECT_EQ(replace->text(),
                      QStringLiteral("\u201c%1\u201d already exists. Do you want to replace it?")
                          .arg(QFile::decodeName(folder.filename().c_str())));
            QAbstractButton* button = test::buttonNamed(*replace, QStringLiteral("Replace"));
            ASSERT_NE(button, nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
        });
}

std::optional<int> quitWithKeys(MainWindow& window) {
    activate(window);
    bool asked = false;
    QTimer::singleShot(0, &window, [&window] { test::press(window, Qt::CTRL | Qt::Key_Q); });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&asked] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible()) {
                asked = true;
                QCoreApplication::exit(-1);
            }
        }
    });
    watch.start(std::chrono::milliseconds(20));
    bool timedOut = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(-1);
    });
    limit.start(std::chrono::seconds(30));
    const int code = QApplication::exec();
    if (asked || timedOut) {
        return std::nullopt;
    }
    return code;
}

void writeProject(const Project& project, const std::filesystem::path& file) {
    const std::filesystem::path partial = file.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << Json(project).dump();
        if (!out.flush()) {
            throw std::runtime_error("cannot write " + partial.string());
        }
    }
    // Whole or not at all, for a reader that may look at any moment.
    std::filesystem::rename(partial, file);
}

Project readProject(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + file.string());
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return Json::parse(text).get<Project>();
}

} // namespace vexel::journeys
