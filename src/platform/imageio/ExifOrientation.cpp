#include "platform/imageio/ExifOrientation.h"

#include <algorithm>
#include <array>

namespace vexel::imageio {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::size_t kDirectoryEntrySize = 12;

// Unsigned integers of either byte order, read only where the bytes reach.
class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, bool bigEndian)
        : bytes_(bytes)
        , bigEndian_(bigEndian) {}

    std::optional<std::uint32_t> read(std::size_t offset, std::size_t width) const {
        if (offset > bytes_.size() || width > bytes_.size() - offset) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t index = bigEndian_ ? offset + i : offset + width - 1 - i;
            value = value << 8 | bytes_[index];
        }
        return value;
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool bigEndian_;
};

} // namespace

std::optional<int> exifOrientation(std::span<const std::uint8_t> tiff) {
    if (tiff.size() < 8) {
        return std::nullopt;
    }
    bool bigEndian = false;
    if (tiff[0] == 'M' && tiff[1] == 'M') {
        bigEndian = true;
    } else if (!(tiff[0] == 'I' && tiff[1] == 'I')) {
        return std::nullopt;
    }
    const Reader reader(tiff, bigEndian);
    const std::optional<std::uint32_t> magic = reader.read(2, 2);
    const std::optional<std::uint32_t> directory = reader.read(4, 4);
    if (magic != 42u || !directory) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> entryCount = reader.read(*directory, 2);
    if (!entryCount) {
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < *entryCount; ++i) {
        const std::size_t entry = std::size_t{*directory} + 2 + i * kDirectoryEntrySize;
        const std::optional<std::uint32_t> tag = reader.read(entry, 2);
        if (!tag) {
            return std::nullopt;
        }
        if (*tag != kOrientationTag) {
            continue;
        }
        const std::optional<std::uint32_t> type = reader.read(entry + 2, 2);
        const std::optional<std::uint32_t> count = reader.read(entry + 4, 4);
        // A single short sits at the start of the entry's four value bytes.
        const std::optional<std::uint32_t> value = reader.read(entry + 8, 2);
        if (type != kShortType || !count || *count < 1 || !value || *value < 1 || *value > 8) {
            return std::nullopt;
        }
        return static_cast<int>(*value);
    }
    return std::nullopt;
}

std::optional<int> pngExifOrientation(std::span<const std::uint8_t> file) {
    constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < kSignature.size() ||
        !std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
        return std::nullopt;
    }
    const Reader reader(file, true);
    std::size_t chunk = kSignature.size();
    // Each chunk: its data length, a four-letter type, the data, a CRC.
    while (const std::optional<std::uint32_t> length = reader.read(chunk, 4)) {
        if (chunk + 8 > file.size()) {
            return std::nullopt;
        }
        const std::span<const std::uint8_t> type = file.subspan(chunk + 4, 4);
        const std::size_t data = chunk + 8;
        if (*length > file.size() - data) {
            return std::nullopt;
        }
        if (std::equal(type.begin(), type.end(), "eXIf")) {
            return exifOrientation(file.subspan(data, *length));
        }
        if (std::equal(type.begin(), type.end(), "IEND")) {
            return std::nullopt;
        }
        chunk = data + *length + 4;
    }
    return std::nullopt;
}

} // namespace vexel::imageio
