#include "app/ApplicationIdentity.h"
#include "app/CommandLine.h"
#include "app/EditorLaunch.h"
#include "foundation/StreamLogger.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

namespace {

// VEXEL_DEBUG_LOG=1 writes debug lines and shows the private text of every
// line; only for looking into a problem on one's own machine.
bool debugLogging() {
    const char* value = std::getenv("VEXEL_DEBUG_LOG");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    vexel::setUpApplication(application);

    const std::optional<std::filesystem::path> folder = vexel::projectFolderArgument(argc, argv);

    auto logger = std::make_shared<vexel::StreamLogger>(stderr, debugLogging());
    const vexel::EditorLaunch launch = vexel::launchEditor(logger, folder);
    if (!launch.editor) {
        return launch.exitCode;
    }
    return application.exec();
}
