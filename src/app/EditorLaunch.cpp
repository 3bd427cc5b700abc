#include "app/EditorLaunch.h"

#include "app/AppEnvironment.h"
#include "foundation/DataHome.h"
#include "foundation/PrivateFolder.h"
#include "platform/instance/InstanceError.h"
#include "platform/instance/UnixSocketAddress.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMessageBox>

#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <utility>

namespace vexel {

namespace {

// How long a running editor may take to take a folder: it answers from its
// event loop, which nothing holds up for long.
constexpr std::chrono::seconds answerPatience{20};

void tellNotAnswering() {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vexel"),
                    QStringLiteral("Vexel is already running, but it does not respond."),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(
        QStringLiteral("Wait until it responds and start it again, or end it first."));
    box.exec();
}

void tellCannotHandOver(const std::optional<std::filesystem::path>& folder) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vexel"),
                    folder ? QStringLiteral("Vexel is already running, but it cannot take "
                                            "the folder \u201c%1\u201d from here.")
                                 .arg(QFile::decodeName(folder->filename().c_str()))
                           : QStringLiteral("Vexel is already running, but it cannot be "
                                            "reached from here."),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(folder ? QStringLiteral("Open %1 with Open in the running editor.")
                                        .arg(QFile::decodeName(folder->c_str()))
                                  : QStringLiteral("Switch to its window."));
    box.exec();
}

void tellCannotOpen(const std::filesystem::path& folder) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vexel"),
                    QStringLiteral("The folder cannot be opened: its path is too long."),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(QFile::decodeName(folder.filename().c_str()));
    box.exec();
}

} // namespace

instance::InstancePaths editorInstancePaths() {
    const std::filesystem::path folder = applicationDataFolder() / "instance";
    instance::InstancePaths paths{folder / "editor.lock", folder / "editor.socket", {}, {}};
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(folder.native()),
                                                       QCryptographicHash::Sha256)
                                  .toHex()
                                  .left(16);
    paths.name = "com.vexel.app-" + std::to_string(::geteuid()) + "-" + digest.toStdString();
    try {
        ensurePrivateFolderAndParents(folder);
    } catch (const std::exception& error) {
        // A link there could lead the lock anywhere; a read-only place has
        // none. The name alone keeps other starts out then.
        paths.lockUnusable = error.what();
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!instance::unixSocketAddress(paths.socket) && runtime != nullptr && runtime[0] == '/') {
        paths.socket =
            std::filesystem::path(runtime) / ("vexel-" + digest.toStdString() + ".socket");
    }
    return paths;
}

EditorLaunch launchEditor(std::shared_ptr<Logger> logger,
                          std::optional<std::filesystem::path> folder) {
    std::unique_ptr<instance::PrimaryInstance> primary;
    std::string unguarded;
    if (folder && folder->native().size() > instance::maxHandOverPathBytes) {
        tellCannotOpen(*folder);
        return {nullptr, 1};
    }
    try {
        instance::ClaimOptions options;
        options.patience = answerPatience;
        options.awaitingAnswer = [logger] {
            logger->logPublic(LogLevel::debug, "[App] Waiting for the running editor to answer");
        };
        std::optional<instance::PrimaryInstance> claimed =
            instance::claimInstance(editorInstancePaths(), folder, options);
        if (!claimed) {
            logger->logPublic(LogLevel::debug, "[App] The running editor took over");
            return {};
        }
        primary = std::make_unique<instance::PrimaryInstance>(std::move(*claimed));
        if (primary->server() == nullptr) {
            logger->error("[App] Later starts cannot reach this editor: " +
                          primary->listenFailure());
        }
    } catch (const instance::InstanceError& error) {
        if (error.kind() == instance::InstanceError::Kind::cannotListen) {
            logger->logPublic(LogLevel::error, "[App] The running editor cannot take a folder");
            tellCannotHandOver(folder);
        } else {
            logger->logPublic(LogLevel::error, "[App] The running editor does not answer");
            tellNotAnswering();
        }
        return {nullptr, 1};
    } catch (const std::exception& error) {
        // Without a home folder there is nowhere to look for another editor:
        // this one runs, but leaves every shared file alone.
        logger->error(std::string("[App] Cannot make sure this is the only editor: ") +
                      error.what());
    }
    auto editor =
        std::make_unique<AppController>(AppEnvironment::system(logger), std::move(folder));
    editor->becomeTheEditor(std::move(primary));
    editor->start();
    return {std::move(editor), 0};
}

} // namespace vexel
