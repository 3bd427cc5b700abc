#include "support/ImageFileWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <libheif/heif.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace vexel::testing {

namespace {

void check(heif_error error, const char* what) {
    if (error.code != heif_error_Ok) {
        throw std::runtime_error(std::string(what) + ": " + error.message);
    }
}

void appendBigEndian(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// A big-endian TIFF block with one directory that holds the orientation only.
QByteArray exifBlock(int orientation) {
    QByteArray tiff("MM", 2);
    appendBigEndian(tiff, 42, 2);
    appendBigEndian(tiff, 8, 4);
    appendBigEndian(tiff, 1, 2);
    appendBigEndian(tiff, 0x0112, 2);
    appendBigEndian(tiff, 3, 2);
    appendBigEndian(tiff, 1, 4);
    appendBigEndian(tiff, static_cast<std::uint32_t>(orientation), 2);
    appendBigEndian(tiff, 0, 2);
    appendBigEndian(tiff, 0, 4);
    return tiff;
}

std::uint32_t crc32(const QByteArray& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

QImage qtImage(const media::PixelBuffer& pixels) {
    QImage view(pixels.data(), pixels.width(), pixels.height(),
                static_cast<qsizetype>(pixels.bytesPerRow()), QImage::Format_ARGB32_Premultiplied);
    return view.convertToFormat(QImage::Format_RGB32);
}

QByteArray encoded(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality)) {
        throw std::runtime_error(std::string("cannot encode ") + format);
    }
    return bytes;
}

// A chunk: the data's length, the type, the data, the CRC of type and data.
QByteArray pngChunk(const char* type, const QByteArray& data) {
    const QByteArray typed = QByteArray(type) + data;
    QByteArray chunk;
    appendBigEndian(chunk, static_cast<std::uint32_t>(data.size()), 4);
    chunk += typed;
    appendBigEndian(chunk, crc32(typed), 4);
    return chunk;
}

QByteArray png(const media::PixelBuffer& pixels, int orientation) {
    QByteArray file = encoded(qtImage(pixels), "PNG", -1);
    if (orientation != 1) {
        // After the signature and the header chunk, before the image data.
        constexpr qsizetype kAfterHeader = 8 + 25;
        file.insert(kAfterHeader, pngChunk("eXIf", exifBlock(orientation)));
    }
    return file;
}

void writeFile(const std::filesystem::path& path, const QByteArray& file) {
    std::ofstream out(path, std::ios::binary);
    out.write(file.constData(), file.size());
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

QByteArray jpeg(const media::PixelBuffer& pixels, int orientation) {
    QByteArray file = encoded(qtImage(pixels), "JPEG", 100);
    if (orientation != 1) {
        const QByteArray payload = QByteArray("Exif\0\0", 6) + exifBlock(orientation);
        QByteArray segment("\xFF\xE1", 2);
        appendBigEndian(segment, static_cast<std::uint32_t>(payload.size() + 2), 2);
        segment += payload;
        // Right after the start-of-image marker.
        file.insert(2, segment);
    }
    return file;
}

void writeHeic(const std::filesystem::path& path, const media::PixelBuffer& pixels,
               ImageFileFormat format, int orientation) {
    std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(),
                                                                        heif_context_free);
    heif_encoder* rawEncoder = nullptr;
    check(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder),
          "HEVC encoder");
    std::unique_ptr<heif_encoder, decltype(&heif_encoder_release)> encoder(rawEncoder,
                                                                           heif_encoder_release);
    check(heif_encoder_set_lossy_quality(encoder.get(), 95), "quality");
    const bool deep = format == ImageFileFormat::heic10Bit;
    const int bits = deep ? 10 : 8;
    heif_image* rawImage = nullptr;
    check(heif_image_create(pixels.width(), pixels.height(), heif_colorspace_RGB,
                            deep ? heif_chroma_interleaved_RRGGBB_LE : heif_chroma_interleaved_RGB,
                            &rawImage),
          "image");
    std::unique_ptr<heif_image, decltype(&heif_image_release)> image(rawImage, heif_image_release);
    check(heif_image_add_plane(image.get(), heif_channel_interleaved, pixels.width(),
                               pixels.height(), bits),
          "plane");
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < pixels.height(); ++y) {
        const std::uint8_t* in = pixels.row(y);
        std::uint8_t* out = plane + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < pixels.width(); ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                // Red, green, blue from the buffer's blue, green, red.
                const int value = in[4 * x + 2 - channel];
                if (deep) {
                    const int wide = value * 1023 / 255;
                    out[6 * x + 2 * channel] = static_cast<std::uint8_t>(wide & 0xFF);
                    out[6 * x + 2 * channel + 1] = static_cast<std::uint8_t>(wide >> 8);
                } else {
                    out[3 * x + channel] = static_cast<std::uint8_t>(value);
                }
            }
        }
    }
    std::unique_ptr<heif_encoding_options, decltype(&heif_encoding_options_free)> options(
        heif_encoding_options_alloc(), heif_encoding_options_free);
    options->image_orientation = static_cast<heif_orientation>(orientation);
    check(heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(),
                                    nullptr),
          "encode");
    check(heif_context_write_to_file(context.get(), path.c_str()), "write");
}

} // namespace

void writeImageFile(const std::filesystem::path& path, const media::PixelBuffer& pixels,
                    ImageFileFormat format, int orientation) {
    if (format == ImageFileFormat::heic || format == ImageFileFormat::heic10Bit) {
        writeHeic(path, pixels, format, orientation);
        return;
    }
    writeFile(path, format == ImageFileFormat::png ? png(pixels, orientation)
                                                   : jpeg(pixels, orientation));
}

void writeSolidPng(const std::filesystem::path& path, int width, int height, std::uint8_t red) {
    // Eight-bit RGB, no interlacing.
    QByteArray header;
    appendBigEndian(header, static_cast<std::uint32_t>(width), 4);
    appendBigEndian(header, static_cast<std::uint32_t>(height), 4);
    header.append("\x08\x02\x00\x00\x00", 5);
    // Each row: filter type 0, then the pixels.
    QByteArray row(1 + 3 * static_cast<qsizetype>(width), '\0');
    for (int x = 0; x < width; ++x) {
        row[1 + 3 * x] = static_cast<char>(red);
    }
    // qCompress writes the length in four bytes before the zlib stream.
    const QByteArray compressed = qCompress(row.repeated(height), 1).mid(4);
    writeFile(path, QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
                        pngChunk("IDAT", compressed) + pngChunk("IEND", {}));
}

} // namespace vexel::testing
