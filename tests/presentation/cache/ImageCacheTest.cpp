#include "presentation/cache/ImageCache.h"

#include "support/media/TemporaryFolder.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImageWriter>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

using namespace vexel;
using vexel::testing::TemporaryFolder;

namespace {

// A picture red on its left half and blue on its right half.
QImage redLeftBlueRight(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width / 2; ++x) {
            image.setPixelColor(x, y, Qt::red);
        }
    }
    return image;
}

void writeBytes(const std::filesystem::path& file, const QByteArray& bytes) {
    std::ofstream stream(file, std::ios::binary);
    stream.write(bytes.constData(), bytes.size());
}

QByteArray encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(100);
    EXPECT_TRUE(writer.write(image));
    return bytes;
}

// A JPEG whose EXIF orientation 6 says "turn a quarter clockwise to show".
QByteArray jpegTurnedAQuarter(const QImage& image) {
    QByteArray jpeg = encode(image, "jpeg");
    const QByteArray exif = QByteArray::fromHex("FFE10022"                 // APP1, 34 bytes
                                                "457869660000"             // "Exif\0\0"
                                                "4D4D002A00000008"         // big-endian TIFF
                                                "0001"                     // one entry
                                                "011200030000000100060000" // orientation 6
                                                "00000000");               // no next IFD
    jpeg.insert(2, exif);
    return jpeg;
}

bool isRed(const QColor& colour) {
    return colour.red() > 200 && colour.blue() < 60;
}

bool isBlue(const QColor& colour) {
    return colour.blue() > 200 && colour.red() < 60;
}

} // namespace

TEST(ImageCache, KeepsDecodedFilesAndNothingElse) {
    TemporaryFolder folder;
    ImageCache cache;

    EXPECT_EQ(cache.image(QUrl("https://example.com/picture.png")), std::nullopt);

    // A file that is no image gives nothing and leaves nothing behind, so the
    // same file is decoded once it holds a picture.
    const std::filesystem::path file = folder / "picture.png";
    writeBytes(file, "not an image");
    EXPECT_EQ(cache.image(file), std::nullopt);
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_EQ(cache.image(folder / "missing.png"), std::nullopt);

    writeBytes(file, encode(redLeftBlueRight(30, 20), "png"));
    const std::optional<QImage> decoded = cache.image(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), QSize(30, 20));
    EXPECT_EQ(cache.count(), 1u);
    EXPECT_EQ(cache.totalCost(), 30u * 20u * 4u);

    // Later look-ups, by path or by file URL, come from memory.
    std::filesystem::remove(file);
    const QUrl url = QUrl::fromLocalFile(QFile::decodeName(file.c_str()));
    const std::optional<QImage> cached = cache.image(url);
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->cacheKey(), decoded->cacheKey());

    cache.removeAllObjects();
    EXPECT_EQ(cache.image(url), std::nullopt);
}

TEST(ImageCache, TurnsPicturesUprightAndOpensNamesThatAreNotText) {
    TemporaryFolder folder;
    ImageCache cache;
    // The name's byte 0xFF is no UTF-8: the file must still be found.
    const std::filesystem::path file = folder.path() / std::string("turned\xff.jpg");
    writeBytes(file, jpegTurnedAQuarter(redLeftBlueRight(32, 16)));

    const std::optional<QImage> image = cache.image(file);
    ASSERT_TRUE(image);
    // The stored left half shows on top once turned a quarter clockwise.
    EXPECT_EQ(image->size(), QSize(16, 32));
    EXPECT_TRUE(isRed(image->pixelColor(8, 4)));
    EXPECT_TRUE(isBlue(image->pixelColor(8, 28)));
}
