#include "platform/imageio/ImageSource.h"

#include "platform/imageio/ExifOrientation.h"
#include "platform/imageio/HeifImage.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>

#include <bit>
#include <cstring>
#include <fstream>
#include <mutex>
#include <span>
#include <system_error>

namespace vexel::imageio {

namespace {

// Qt's premultiplied ARGB32 words lie in memory as B, G, R, A only here.
static_assert(std::endian::native == std::endian::little);

std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > ImageSource::maxFileSize) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

// A view of the bytes for Qt, which neither copies nor changes them.
QByteArray qtBytes(const std::vector<std::uint8_t>& bytes) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                   static_cast<qsizetype>(bytes.size()));
}

// Qt names the same eight orientations as flags.
int exifOrientation(QImageIOHandler::Transformations transformation) {
    switch (static_cast<int>(transformation)) {
    case QImageIOHandler::TransformationMirror:
        return 2;
    case QImageIOHandler::TransformationRotate180:
        return 3;
    case QImageIOHandler::TransformationFlip:
        return 4;
    case QImageIOHandler::TransformationFlipAndRotate90:
        return 5;
    case QImageIOHandler::TransformationRotate90:
        return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return 7;
    case QImageIOHandler::TransformationRotate270:
        return 8;
    default:
        return 1;
    }
}

bool fitsPixelBuffer(const QSize& size) {
    return size.width() >= 1 && size.height() >= 1 &&
           size.width() <= media::PixelBuffer::maxDimension &&
           size.height() <= media::PixelBuffer::maxDimension;
}

media::PixelBuffer copyPixels(const QImage& image) {
    if (image.isNull() || !fitsPixelBuffer(image.size())) {
        return {};
    }
    const QImage converted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (converted.isNull()) {
        return {};
    }
    media::PixelBuffer pixels = media::PixelBuffer::create(converted.width(), converted.height());
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(converted.width());
    for (int y = 0; y < converted.height(); ++y) {
        std::memcpy(pixels.row(y), converted.constScanLine(y), rowBytes);
    }
    return pixels;
}

// Qt's decoders refuse images whose pixels take more than a process-wide
// number of megabytes, 128 by default: a 36-megapixel photo already. Raised
// once, before the first image is opened, to what the largest PixelBuffer
// takes; never lowered. Dimensions beyond a PixelBuffer's are refused before
// decoding, so the limit still stops images that claim more.
void allowPixelBufferSizedImages() {
    static std::once_flag once;
    std::call_once(once, [] {
        constexpr std::int64_t kSide = media::PixelBuffer::maxDimension;
        constexpr int kMegabytes = static_cast<int>(kSide * kSide * 4 / (1024 * 1024));
        if (QImageReader::allocationLimit() != 0 && QImageReader::allocationLimit() < kMegabytes) {
            QImageReader::setAllocationLimit(kMegabytes);
        }
    });
}

} // namespace

std::optional<ImageSource> ImageSource::open(const std::filesystem::path& path) {
    allowPixelBufferSizedImages();
    std::optional<std::vector<std::uint8_t>> read = readFile(path);
    if (!read) {
        return std::nullopt;
    }
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(*read));
    if (detail::isHeif(*bytes)) {
        return ImageSource(std::move(bytes), Format::heif, 1);
    }
    QByteArray data = qtBytes(*bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead()) {
        return std::nullopt;
    }
    int orientation = exifOrientation(reader.transformation());
    // Qt reads the orientation of JPEG files but not the eXIf chunk of PNG.
    if (orientation == 1) {
        orientation = pngExifOrientation(*bytes).value_or(1);
    }
    return ImageSource(std::move(bytes), Format::qt, orientation);
}

media::PixelBuffer ImageSource::decodeImage() const {
    if (format_ == Format::heif) {
        return detail::decodeHeif(*bytes_);
    }
    QByteArray data = qtBytes(*bytes_);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Turning upright is left to the caller, which does it in the same pass as
    // the rest of its processing.
    reader.setAutoTransform(false);
    // Formats that do not know their size before decoding report an invalid
    // one; Qt's own limit then holds them.
    const QSize size = reader.size();
    if (size.isValid() && !fitsPixelBuffer(size)) {
        return {};
    }
    QImage image;
    if (!reader.read(&image)) {
        return {};
    }
    return copyPixels(image);
}

} // namespace vexel::imageio
