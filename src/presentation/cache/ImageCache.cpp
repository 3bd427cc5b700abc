#include "presentation/cache/ImageCache.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>

#include <cstdint>
#include <fstream>
#include <system_error>

namespace vexel {

namespace {

// No image that the editor can show comes out of a larger file.
constexpr std::uintmax_t maxFileSize = std::uintmax_t{1} << 30;
// Qt refuses, by default, to decode images of more than 128 MB; a photo of
// 48 megapixels needs more. This is the largest frame the media layer holds.
constexpr int allocationLimitMegabytes = 1024;

// The file read by its own bytes, whatever they are: a Linux file name need
// not be text.
std::optional<QByteArray> readFile(const std::filesystem::path& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > maxFileSize) {
        return std::nullopt;
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    stream.read(bytes.data(), bytes.size());
    if (stream.gcount() != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<QImage> decodeUpright(const std::filesystem::path& file) {
    std::optional<QByteArray> bytes = readFile(file);
    if (!bytes) {
        return std::nullopt;
    }
    if (QImageReader::allocationLimit() < allocationLimitMegabytes) {
        QImageReader::setAllocationLimit(allocationLimitMegabytes);
    }
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    // The form QPainter draws fastest, converted once here rather than on every
    // paint.
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

ImageCache::ImageCache(std::size_t countLimit, std::size_t totalCostLimit)
    : cache_(countLimit, totalCostLimit) {}

std::optional<QImage> ImageCache::image(const QUrl& url) {
    if (!url.isLocalFile()) {
        return std::nullopt;
    }
    return image(std::filesystem::path(QFile::encodeName(url.toLocalFile()).toStdString()));
}

std::optional<QImage> ImageCache::image(const std::filesystem::path& file) {
    if (std::optional<QImage> cached = cache_.object(file)) {
        return cached;
    }
    std::optional<QImage> decoded = decodeUpright(file);
    if (!decoded) {
        return std::nullopt;
    }
    const std::size_t cost = static_cast<std::size_t>(decoded->width()) *
                             static_cast<std::size_t>(decoded->height()) * 4;
    cache_.setObject(file, *decoded, cost);
    return decoded;
}

} // namespace vexel
