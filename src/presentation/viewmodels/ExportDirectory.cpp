#include "presentation/viewmodels/ExportDirectory.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QVariant>

#include <system_error>

namespace vexel {

namespace {

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

bool isFolder(const std::filesystem::path& path) {
    std::error_code error;
    // A relative path would be read against the working folder of the process.
    return path.is_absolute() && std::filesystem::is_directory(path, error);
}

} // namespace

std::filesystem::path exportDirectory(const QSettings& settings) {
    const QVariant stored = settings.value("exportDirectory");
    // An empty path would name whatever folder the program runs in.
    if (stored.typeId() == QMetaType::QString && !stored.toString().isEmpty()) {
        return localPath(stored.toString());
    }
    const QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (!movies.isEmpty()) {
        return localPath(movies);
    }
    return localPath(QDir::homePath());
}

std::filesystem::path existingExportFolder(const std::filesystem::path& preferred) {
    if (isFolder(preferred)) {
        return preferred;
    }
    const QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (const std::filesystem::path videos = localPath(movies);
        !movies.isEmpty() && isFolder(videos)) {
        return videos;
    }
    return localPath(QDir::homePath());
}

} // namespace vexel
