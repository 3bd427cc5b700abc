#include "journeys/PrivateHome.h"

#include <cstdlib>

namespace vexel::journeys {

std::vector<std::pair<std::string, std::string>>
privateHomeVariables(const std::filesystem::path& root) {
    std::vector<std::pair<std::string, std::string>> variables;
    const std::pair<const char*, const char*> folders[] = {{"HOME", "home"},
                                                           {"XDG_CONFIG_HOME", "config"},
                                                           {"XDG_DATA_HOME", "data"},
                                                           {"XDG_CACHE_HOME", "cache"},
                                                           {"XDG_STATE_HOME", "state"},
                                                           {"XDG_RUNTIME_DIR", "runtime"}};
    for (const auto& [variable, name] : folders) {
        std::filesystem::create_directories(root / name);
        variables.emplace_back(variable, (root / name).string());
    }
    // Qt refuses a runtime folder that others may enter.
    std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    variables.emplace_back("DBUS_SESSION_BUS_ADDRESS",
                           "unix:path=" + (root / "no-session-bus").string());
    variables.emplace_back(journeyHomeVariable, root.string());
    return variables;
}

void usePrivateHome(const std::filesystem::path& root) {
    for (const auto& [name, value] : privateHomeVariables(root)) {
        setenv(name.c_str(), value.c_str(), 1);
    }
}

QProcessEnvironment JourneyHome::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : privateHomeVariables(path())) {
        environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    }
    return environment;
}

QProcessEnvironment JourneyHome::environment(const std::string& backendURL) const {
    QProcessEnvironment withBackend = environment();
    withBackend.insert(QStringLiteral("VEXEL_BACKEND_URL"), QString::fromStdString(backendURL));
    withBackend.insert(QStringLiteral("VEXEL_ACCESS_TOKEN"), QStringLiteral("journey-token"));
    return withBackend;
}

} // namespace vexel::journeys
