#include "platform/media/detail/Mp3InfoTag.h"

#include <array>
#include <cstring>
#include <fstream>
#include <vector>

namespace vexel::media::detail {

namespace {

// The decoder's own delay, which FFmpeg skips besides the encoder's.
constexpr std::int64_t kDecoderDelay = 528 + 1;
// Tags before the first frame may hold pictures; more than this is not worth
// reading past, nor more tags than a file ever has.
constexpr std::uint64_t kMaxLeadingTag = 16u << 20;
constexpr int kMaxLeadingTags = 8;
// How far after the tags the first frame may start (some files pad with zeros).
constexpr std::size_t kSyncSearch = 64u << 10;

std::uint32_t bigEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

// The size of the ID3v2 tags at the start of the file, headers and footers
// included; more than kMaxLeadingTag when they are not worth reading past.
std::uint64_t leadingTagsSize(std::ifstream& file) {
    std::uint64_t offset = 0;
    for (int tags = 0; tags < kMaxLeadingTags; ++tags) {
        std::array<std::uint8_t, 10> header{};
        file.seekg(static_cast<std::streamoff>(offset));
        if (!file.read(reinterpret_cast<char*>(header.data()), header.size()) ||
            std::memcmp(header.data(), "ID3", 3) != 0) {
            file.clear();
            return offset;
        }
        std::uint64_t size = 0;
        for (int i = 6; i < 10; ++i) {
            size = size << 7 | (header[i] & 0x7F);
        }
        const bool footer = (header[5] & 0x10) != 0;
        offset += 10 + size + (footer ? 10 : 0);
        if (offset > kMaxLeadingTag) {
            return offset;
        }
    }
    return kMaxLeadingTag + 1;
}

struct FrameHeader {
    bool mpeg1 = false;
    bool mono = false;
    int sampleRate = 0;
};

// A Layer III frame header, which is what LAME and FFmpeg write.
std::optional<FrameHeader> layerThreeHeader(const std::uint8_t* bytes) {
    if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const int version = (bytes[1] >> 3) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int layer = (bytes[1] >> 1) & 3;   // 1: Layer III
    const int rateIndex = (bytes[2] >> 2) & 3;
    const int bitrateIndex = bytes[2] >> 4;
    if (version == 1 || layer != 1 || rateIndex == 3 || bitrateIndex == 0 || bitrateIndex == 15) {
        return std::nullopt;
    }
    static constexpr int rates[3] = {44100, 48000, 32000};
    const int divisor = version == 3 ? 1 : version == 2 ? 2 : 4;
    return FrameHeader{version == 3, ((bytes[3] >> 6) & 3) == 3, rates[rateIndex] / divisor};
}

} // namespace

std::optional<Mp3SoundLength> mp3SoundLength(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    const std::uint64_t start = leadingTagsSize(file);
    if (start > kMaxLeadingTag) {
        return std::nullopt;
    }
    // The search, then the largest info frame: header, side information, the
    // tag's fields and the LAME extension.
    std::vector<std::uint8_t> bytes(kSyncSearch + 4 + 32 + 120 + 24);
    file.seekg(static_cast<std::streamoff>(start));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const auto read = static_cast<std::size_t>(file.gcount());

    std::size_t at = 0;
    std::optional<FrameHeader> header;
    while (at + 4 <= read && at <= kSyncSearch && !(header = layerThreeHeader(&bytes[at]))) {
        ++at;
    }
    if (!header) {
        return std::nullopt;
    }
    // The info frame's fields follow the side information.
    std::size_t field =
        at + 4 + (header->mpeg1 ? (header->mono ? 17 : 32) : (header->mono ? 9 : 17));
    auto has = [&](std::size_t count) { return field + count <= read; };
    if (!has(8) || (std::memcmp(&bytes[field], "Xing", 4) != 0 &&
                    std::memcmp(&bytes[field], "Info", 4) != 0)) {
        return std::nullopt;
    }
    const std::uint32_t flags = bigEndian(&bytes[field + 4], 4);
    field += 8;
    if (!(flags & 1) || !has(4)) {
        return std::nullopt;
    }
    const std::int64_t frames = bigEndian(&bytes[field], 4);
    field += 4;
    field += (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
    // Encoder's name (9 bytes), revision, low-pass, replay gain (8 bytes),
    // flags, bitrate, then the two 12-bit paddings.
    if (!has(24)) {
        return std::nullopt;
    }
    const std::uint8_t* name = &bytes[field];
    if (std::memcmp(name, "LAME", 4) != 0 && std::memcmp(name, "Lavf", 4) != 0 &&
        std::memcmp(name, "Lavc", 4) != 0) {
        return std::nullopt;
    }
    const std::uint32_t paddings = bigEndian(&bytes[field + 21], 3);
    const std::int64_t startPadding = paddings >> 12;
    const std::int64_t endPadding = paddings & 0xFFF;
    const std::int64_t samplesPerFrame = header->mpeg1 ? 1152 : 576;
    // FFmpeg skips the encoder's delay and its own at the start, and at the
    // end what of the padding lies beyond its own delay.
    const std::int64_t samples =
        frames * samplesPerFrame - startPadding - std::max(endPadding, kDecoderDelay);
    if (frames <= 0 || samples <= 0) {
        return std::nullopt;
    }
    return Mp3SoundLength{samples, header->sampleRate};
}

} // namespace vexel::media::detail
