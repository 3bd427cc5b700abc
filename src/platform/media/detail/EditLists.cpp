#include "platform/media/detail/EditLists.h"

#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace vexel::media::detail {

namespace {

// A movie header larger than this is not worth reading for its edit lists.
constexpr std::uint64_t kMaxMovieBox = 64u << 20;

// Bounds-checked big-endian reading of a box's payload.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size) {}

    bool has(std::size_t count) const { return count <= size_ - offset_; }
    std::uint64_t read(int bytes) {
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value = value << 8 | data_[offset_++];
        }
        return value;
    }
    void skip(std::size_t count) { offset_ += count; }
    std::size_t remaining() const { return size_ - offset_; }
    const std::uint8_t* here() const { return data_ + offset_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

struct Box {
    std::string_view type;
    Bytes payload;
};

// The child boxes of a payload; stops at the first malformed header.
std::vector<Box> children(Bytes bytes) {
    std::vector<Box> boxes;
    while (bytes.has(8)) {
        const std::uint8_t* start = bytes.here();
        std::uint64_t size = bytes.read(4);
        std::string_view type(reinterpret_cast<const char*>(bytes.here()), 4);
        bytes.skip(4);
        std::size_t header = 8;
        if (size == 1) {
            if (!bytes.has(8)) {
                break;
            }
            size = bytes.read(8);
            header = 16;
        } else if (size == 0) {
            size = header + bytes.remaining();
        }
        if (size < header || size - header > bytes.remaining()) {
            break;
        }
        auto length = static_cast<std::size_t>(size - header);
        boxes.push_back({type, Bytes(start + header, length)});
        bytes.skip(length);
    }
    return boxes;
}

std::optional<Box> child(const Bytes& bytes, std::string_view type) {
    for (const Box& box : children(bytes)) {
        if (box.type == type) {
            return box;
        }
    }
    return std::nullopt;
}

// Reads the payload of the top-level "moov" box.
std::vector<std::uint8_t> movieBox(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::uint8_t header[16];
    while (file.read(reinterpret_cast<char*>(header), 8)) {
        Bytes bytes(header, 8);
        std::uint64_t size = bytes.read(4);
        std::string_view type(reinterpret_cast<const char*>(header + 4), 4);
        std::uint64_t headerSize = 8;
        if (size == 1) {
            if (!file.read(reinterpret_cast<char*>(header + 8), 8)) {
                break;
            }
            size = Bytes(header + 8, 8).read(8);
            headerSize = 16;
        }
        if (size != 0 && size < headerSize) {
            break;
        }
        if (type == "moov") {
            std::uint64_t length = size - headerSize;
            if (size == 0 || length > kMaxMovieBox) {
                break;
            }
            std::vector<std::uint8_t> payload(static_cast<std::size_t>(length));
            if (!file.read(reinterpret_cast<char*>(payload.data()),
                           static_cast<std::streamsize>(length))) {
                break;
            }
            return payload;
        }
        if (size == 0 || size - headerSize > static_cast<std::uint64_t>(
                                                 std::numeric_limits<std::streamoff>::max())) {
            break;
        }
        file.seekg(static_cast<std::streamoff>(size - headerSize), std::ios::cur);
    }
    return {};
}

// The 32-bit field that follows the creation and modification dates of a
// movie or track header: the movie's timescale, the track's ID.
std::optional<std::uint32_t> fieldAfterDates(const Bytes& parent, std::string_view type) {
    auto header = child(parent, type);
    if (!header) {
        return std::nullopt;
    }
    Bytes bytes = header->payload;
    if (!bytes.has(4)) {
        return std::nullopt;
    }
    int version = static_cast<int>(bytes.read(1));
    bytes.skip(3);
    std::size_t dates = version == 1 ? 16 : 8;
    if (!bytes.has(dates + 4)) {
        return std::nullopt;
    }
    bytes.skip(dates);
    return static_cast<std::uint32_t>(bytes.read(4));
}

// The sum of the edit durations, in movie ticks.
std::optional<std::uint64_t> editedLength(const Bytes& track) {
    auto edits = child(track, "edts");
    if (!edits) {
        return std::nullopt;
    }
    auto list = child(edits->payload, "elst");
    if (!list) {
        return std::nullopt;
    }
    Bytes bytes = list->payload;
    if (!bytes.has(8)) {
        return std::nullopt;
    }
    int version = static_cast<int>(bytes.read(1));
    bytes.skip(3);
    std::uint64_t count = bytes.read(4);
    std::size_t entrySize = version == 1 ? 20 : 12;
    std::uint64_t total = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (!bytes.has(entrySize)) {
            return std::nullopt;
        }
        std::uint64_t duration = bytes.read(version == 1 ? 8 : 4);
        bytes.skip(entrySize - (version == 1 ? 8 : 4));
        // A zero duration means "to the end of the media": the list then does
        // not say where the presentation ends.
        if (duration == 0 || duration > std::numeric_limits<std::uint64_t>::max() / 2 - total) {
            return std::nullopt;
        }
        total += duration;
    }
    return total > 0 ? std::optional(total) : std::nullopt;
}

} // namespace

std::map<int, MediaTime> presentationEndsFromEditLists(const std::filesystem::path& path) {
    std::map<int, MediaTime> ends;
    std::vector<std::uint8_t> payload = movieBox(path);
    Bytes movie(payload.data(), payload.size());
    auto timescale = fieldAfterDates(movie, "mvhd");
    if (!timescale || *timescale == 0 || *timescale > static_cast<std::uint32_t>(INT32_MAX)) {
        return ends;
    }
    for (const Box& box : children(movie)) {
        if (box.type != "trak") {
            continue;
        }
        auto id = fieldAfterDates(box.payload, "tkhd");
        auto length = editedLength(box.payload);
        if (id && length && *length <= static_cast<std::uint64_t>(INT64_MAX)) {
            ends[static_cast<int>(*id)] = MediaTime(static_cast<std::int64_t>(*length),
                                                    static_cast<std::int32_t>(*timescale));
        }
    }
    return ends;
}

} // namespace vexel::media::detail
