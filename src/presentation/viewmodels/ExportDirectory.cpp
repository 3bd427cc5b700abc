#include "presentation/viewmodels/ExportDirectory.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QVariant>

namespace vexel {

namespace {

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
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

} // namespace vexel
