#include "app/EditorLaunch.h"

#include "app/AppEnvironment.h"
#include "foundation/DataHome.h"
#include "foundation/PrivateFolder.h"
#include "platform/instance/InstanceError.h"
#include "platform/instance/UnixSocketAddress.h"

#include <QCryptographicHash>
#include <QMessageBox>

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

} // namespace

instance::InstancePaths editorInstancePaths() {
    const std::filesystem::path folder = applicationDataFolder() / "instance";
    ensurePrivateFolderAndParents(folder);
    instance::InstancePaths paths{folder / "editor.lock", folder / "editor.socket"};
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!instance::unixSocketAddress(paths.socket) && runtime != nullptr && runtime[0] == '/') {
        const QByteArray name = QCryptographicHash::hash(QByteArray::fromStdString(folder.native()),
                                                         QCryptographicHash::Sha256)
                                    .toHex()
                                    .left(16);
        paths.socket = std::filesystem::path(runtime) / ("vexel-" + name.toStdString() + ".socket");
    }
    return paths;
}

EditorLaunch launchEditor(std::shared_ptr<Logger> logger,
                          std::optional<std::filesystem::path> folder) {
    std::unique_ptr<instance::PrimaryInstance> primary;
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
    } catch (const instance::InstanceError&) {
        logger->logPublic(LogLevel::error, "[App] The running editor does not answer");
        tellNotAnswering();
        return {nullptr, 1};
    } catch (const std::exception& error) {
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
