#include "platform/text/FontNameTable.h"

#include <cstdint>

namespace vexel::text {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kRecordSize = 12;
constexpr std::uint16_t kPostScriptNameId = 6;

std::uint16_t readU16(std::span<const std::byte> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>((std::to_integer<unsigned>(bytes[offset]) << 8) |
                                      std::to_integer<unsigned>(bytes[offset + 1]));
}

// Names of the Unicode and Windows platforms are UTF-16BE, those of the
// Macintosh platform one byte per character; PostScript names are ASCII.
std::optional<std::string> asciiName(std::span<const std::byte> bytes, bool utf16) {
    std::string name;
    const std::size_t step = utf16 ? 2 : 1;
    if (bytes.size() % step != 0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < bytes.size(); i += step) {
        const unsigned unit = utf16 ? readU16(bytes, i) : std::to_integer<unsigned>(bytes[i]);
        if (unit < 0x21 || unit > 0x7e) {
            return std::nullopt;
        }
        name.push_back(static_cast<char>(unit));
    }
    if (name.empty()) {
        return std::nullopt;
    }
    return name;
}

} // namespace

std::optional<std::string> postScriptName(std::span<const std::byte> nameTable) {
    if (nameTable.size() < kHeaderSize) {
        return std::nullopt;
    }
    const std::size_t count = readU16(nameTable, 2);
    const std::size_t stringsStart = readU16(nameTable, 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t record = kHeaderSize + i * kRecordSize;
        if (record + kRecordSize > nameTable.size()) {
            return std::nullopt;
        }
        // Platforms 0 (Unicode), 1 (Macintosh) and 3 (Windows); 2 is obsolete.
        const std::uint16_t platform = readU16(nameTable, record);
        if (readU16(nameTable, record + 6) != kPostScriptNameId || platform == 2 || platform > 3) {
            continue;
        }
        const std::size_t length = readU16(nameTable, record + 8);
        const std::size_t start = stringsStart + readU16(nameTable, record + 10);
        if (start + length > nameTable.size()) {
            continue;
        }
        if (auto name = asciiName(nameTable.subspan(start, length), platform != 1)) {
            return name;
        }
    }
    return std::nullopt;
}

} // namespace vexel::text
