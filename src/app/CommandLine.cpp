#include "app/CommandLine.h"

#include "data/persistence/AssetPaths.h"

#include <QCommandLineParser>
#include <QStringList>

#include <string_view>
#include <vector>

namespace vexel {

namespace {

// The arguments that are no option, as the parser tells them apart: all
// after "--", a lone "-", and every one not beginning with "-".
std::vector<std::string_view> positionalBytes(int argc, const char* const* argv) {
    std::vector<std::string_view> positional;
    bool onlyPositional = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!onlyPositional && argument == "--") {
            onlyPositional = true;
        } else if (onlyPositional || argument == "-" || !argument.starts_with('-')) {
            positional.push_back(argument);
        }
    }
    return positional;
}

} // namespace

std::optional<std::filesystem::path> projectFolderArgument(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vexel, a video editor that takes plain-language instructions."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("A project folder to open."),
                                 QStringLiteral("[folder]"));
    parser.process(arguments);
    if (parser.positionalArguments().isEmpty()) {
        return std::nullopt;
    }
    // Text decoded from bytes that are not in the user's encoding comes back
    // as other bytes: the folder is taken from argv itself.
    const std::vector<std::string_view> positional = positionalBytes(argc, argv);
    std::filesystem::path folder =
        positional.empty()
            ? std::filesystem::path(parser.positionalArguments().front().toStdString())
            : std::filesystem::path(std::string(positional.front()));
    // Absolute and without "." and "..", so that the folder stays the same
    // whatever the working folder becomes.
    return assetpaths::normalized(std::filesystem::absolute(folder));
}

} // namespace vexel
