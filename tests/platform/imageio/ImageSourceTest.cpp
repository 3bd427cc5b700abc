#include "platform/imageio/ImageSource.h"
#include "platform/image/TestPixels.h"
#include "platform/imageio/ExifOrientation.h"
#include "support/ForeignSamples.h"
#include "support/ImageFileWriter.h"
#include "support/media/TemporaryFolder.h"

#include <QImageReader>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace vexel::imageio {
namespace {

using image::test::makeBuffer;
using testing::ImageFileFormat;

std::vector<std::uint8_t> bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values) {
        out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

// TIFF headers of both byte orders with one directory entry.
std::vector<std::uint8_t> littleEndianTiff(int tag, int type, int count, int value) {
    return bytes({'I', 'I',   42, 0, 8, 0,     0, 0, 1, 0, tag & 0xFF, tag >> 8, type,
                  0,   count, 0,  0, 0, value, 0, 0, 0, 0, 0,          0,        0});
}

std::vector<std::uint8_t> bigEndianTiff(int value) {
    return bytes({'M', 'M', 0, 42, 0, 0, 0,     8, 0, 1, 0x01, 0x12, 0,
                  3,   0,   0, 0,  1, 0, value, 0, 0, 0, 0,    0,    0});
}

TEST(ExifOrientationTest, ReadsTheTagOfEitherByteOrderAndRefusesWhatDoesNotHoldTogether) {
    EXPECT_EQ(exifOrientation(littleEndianTiff(0x0112, 3, 1, 6)), 6);
    EXPECT_EQ(exifOrientation(bigEndianTiff(8)), 8);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> tiff;
    };
    std::vector<std::uint8_t> directoryPastEnd = littleEndianTiff(0x0112, 3, 1, 6);
    directoryPastEnd[4] = 0xF0;
    std::vector<std::uint8_t> entriesPastEnd = littleEndianTiff(0x0112, 3, 1, 6);
    entriesPastEnd[8] = 0xFF;
    entriesPastEnd[9] = 0xFF;
    entriesPastEnd[10] = 0x01; // not the tag: the reader walks on to the next entry
    std::vector<std::uint8_t> truncated = littleEndianTiff(0x0112, 3, 1, 6);
    truncated.resize(19);
    const std::vector<Case> refused = {
        {"empty", {}},
        {"no byte order", bytes({'X', 'X', 42, 0, 8, 0, 0, 0})},
        {"wrong magic", bytes({'I', 'I', 43, 0, 8, 0, 0, 0})},
        {"directory past the end", directoryPastEnd},
        {"entries past the end", entriesPastEnd},
        {"value cut off", truncated},
        {"another tag", littleEndianTiff(0x0110, 3, 1, 6)},
        {"not a short", littleEndianTiff(0x0112, 4, 1, 6)},
        {"no values", littleEndianTiff(0x0112, 3, 0, 6)},
        {"zero", littleEndianTiff(0x0112, 3, 1, 0)},
        {"nine", littleEndianTiff(0x0112, 3, 1, 9)},
    };
    for (const Case& c : refused) {
        EXPECT_EQ(exifOrientation(c.tiff), std::nullopt) << c.name;
    }
}

TEST(ExifOrientationTest, FindsTheExifChunkOfAPngAndStopsAtBrokenChunks) {
    const std::vector<std::uint8_t> signature =
        bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
    const std::vector<std::uint8_t> tiff = bigEndianTiff(3);
    auto chunk = [](const char* type, const std::vector<std::uint8_t>& data) {
        std::vector<std::uint8_t> out = bytes({0, 0, 0, static_cast<int>(data.size())});
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        out.insert(out.end(), 4, 0); // CRC, not checked
        return out;
    };
    auto file = [&](std::vector<std::vector<std::uint8_t>> chunks) {
        std::vector<std::uint8_t> out = signature;
        for (const auto& c : chunks) {
            out.insert(out.end(), c.begin(), c.end());
        }
        return out;
    };
    EXPECT_EQ(pngExifOrientation(file({chunk("IHDR", bytes({1, 2, 3})), chunk("eXIf", tiff)})), 3);
    EXPECT_EQ(pngExifOrientation(file({chunk("IHDR", {}), chunk("IEND", {}), chunk("eXIf", tiff)})),
              std::nullopt);
    std::vector<std::uint8_t> overlong = file({chunk("eXIf", tiff)});
    overlong[8] = 0x7F; // the chunk claims two gigabytes
    EXPECT_EQ(pngExifOrientation(overlong), std::nullopt);
    std::vector<std::uint8_t> cut = file({chunk("eXIf", tiff)});
    cut.resize(cut.size() - 10);
    EXPECT_EQ(pngExifOrientation(cut), std::nullopt);
    EXPECT_EQ(pngExifOrientation(tiff), std::nullopt);
}

TEST(ImageSourceTest, OpensNothingButReadableImagesAndDecodesNothingBroken) {
    const testing::TemporaryFolder folder;
    const media::PixelBuffer pixels = makeBuffer(16, 8, [](int x, int) {
        return image::test::Bgra{0, 0, x * 16, 255};
    });
    testing::writeImageFile(folder / "picture.png", pixels, ImageFileFormat::png, 5);

    const std::optional<ImageSource> source = ImageSource::open(folder / "picture.png");
    ASSERT_TRUE(source);
    EXPECT_EQ(source->orientation(), 5);
    const media::PixelBuffer decoded = source->decodeImage();
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.width(), 16); // as stored: turning upright is the caller's
    EXPECT_EQ(image::test::pixelAt(decoded, 15, 0), (image::test::Bgra{0, 0, 240, 255}));

    std::ifstream in(folder / "picture.png", std::ios::binary);
    std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(folder / "cut.png", std::ios::binary) << whole.substr(0, 45);
    std::ofstream(folder / "notes.png") << "not an image at all";
    std::ofstream(folder / "empty.jpg");
    std::filesystem::create_directory(folder / "folder.png");

    const std::optional<ImageSource> cut = ImageSource::open(folder / "cut.png");
    if (cut) {
        EXPECT_TRUE(cut->decodeImage().isNull());
    }
    for (const char* name : {"notes.png", "empty.jpg", "folder.png", "missing.png"}) {
        EXPECT_FALSE(ImageSource::open(folder / name)) << name;
    }
}

TEST(ImageSourceTest, DecodesWebPStillsAsBrowsersAndPhonesWriteThem) {
    const testing::TemporaryFolder folder;
    const std::filesystem::path still =
        testing::writeSample(folder.path(), testing::ForeignSample::webp);
    const std::optional<ImageSource> source = ImageSource::open(still);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->orientation(), 1);
    const media::PixelBuffer decoded = source->decodeImage();
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.width(), 64);
    EXPECT_EQ(decoded.height(), 48);
    // Lossy, but the picture's halves are still grey and blue.
    const image::test::Bgra blue = image::test::pixelAt(decoded, 48, 30);
    EXPECT_GT(blue[0], 180);
    EXPECT_LT(blue[2], 60);
    const image::test::Bgra grey = image::test::pixelAt(decoded, 16, 30);
    EXPECT_LT(std::abs(grey[0] - grey[2]), 20);
}

TEST(ImageSourceTest, DecodesPhotosOfManyMegapixelsButNothingLargerThanAPixelBuffer) {
    const testing::TemporaryFolder folder;
    testing::writeSolidPng(folder / "small.png", 3, 2, 200);
    const std::optional<ImageSource> small = ImageSource::open(folder / "small.png");
    ASSERT_TRUE(small);
    EXPECT_EQ(image::test::pixelAt(small->decodeImage(), 2, 1),
              (image::test::Bgra{0, 0, 200, 255}));
    // Qt refuses anything over 128 MB of pixels by default, a 36-megapixel
    // photo already; decoding one here takes longer than a test may.
    constexpr long long kLargestPixelBuffer = 16384LL * 16384 * 4;
    EXPECT_GE(static_cast<long long>(QImageReader::allocationLimit()) << 20, kLargestPixelBuffer);

    testing::writeSolidPng(folder / "wide.png", media::PixelBuffer::maxDimension + 1, 1, 10);
    const std::optional<ImageSource> wide = ImageSource::open(folder / "wide.png");
    ASSERT_TRUE(wide);
    EXPECT_TRUE(wide->decodeImage().isNull());
}

} // namespace
} // namespace vexel::imageio
