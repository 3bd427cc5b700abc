#include "platform/instance/HandOverMessage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace vexel::instance {
namespace {

using State = HandOverReader::State;

// The request for `folder`, read back one byte at a time as a slow socket
// would deliver it.
HandOverReader readByteByByte(const std::string& request) {
    HandOverReader reader;
    for (std::size_t i = 0; i < request.size(); ++i) {
        const State state = reader.add(std::string_view(request).substr(i, 1));
        EXPECT_EQ(state, i + 1 < request.size() ? State::incomplete : State::complete)
            << "after byte " << i;
    }
    return reader;
}

TEST(HandOverMessageTest, EveryFolderComesBackAsTheSameBytes) {
    const std::optional<std::filesystem::path> folders[] = {
        std::nullopt,
        std::filesystem::path("/"),
        std::filesystem::path("/home/ana/My Film.vexel"),
        // Not UTF-8, with a line break and a quote: a name is any bytes but NUL.
        std::filesystem::path(std::string("/tmp/caf\xe9\xff/line\nbreak \"q\"")),
        // The longest path the system opens.
        std::filesystem::path("/" + std::string(maxHandOverPathBytes - 1, 'x')),
    };
    for (const std::optional<std::filesystem::path>& folder : folders) {
        const HandOverReader reader = readByteByByte(encodeHandOver(folder));
        EXPECT_EQ(reader.state(), State::complete);
        EXPECT_EQ(reader.folder(), folder);
    }
    // Bytes after a complete request change nothing.
    HandOverReader reader;
    EXPECT_EQ(reader.add(encodeHandOver(std::filesystem::path("/a")) + "VXL1junk"),
              State::complete);
    EXPECT_EQ(reader.add("more"), State::complete);
    EXPECT_EQ(reader.folder(), std::filesystem::path("/a"));
}

TEST(HandOverMessageTest, ARequestOfAnotherFormIsRefused) {
    const auto header = [](std::uint32_t length) {
        std::string bytes = "VXL1";
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(char((length >> shift) & 0xFF));
        }
        return bytes;
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"another form", "GET / HTTP/1.1\r\n"},
        {"another version", "VXL2" + header(0).substr(4)},
        {"a path too long", header(std::uint32_t(maxHandOverPathBytes + 1))},
        {"a relative path", header(3) + "a/b"},
        {"a NUL in the path", header(4) + std::string("/a\0b", 4)},
    };
    for (const auto& [what, bytes] : cases) {
        HandOverReader reader;
        EXPECT_EQ(reader.add(bytes), State::malformed) << what;
        EXPECT_EQ(reader.folder(), std::nullopt) << what;
    }
    HandOverReader partial;
    EXPECT_EQ(partial.add("VX"), State::incomplete);
    EXPECT_EQ(partial.add(header(10).substr(2) + "/abc"), State::incomplete);

    EXPECT_THROW(encodeHandOver(std::filesystem::path("relative/folder")), std::invalid_argument);
    EXPECT_THROW(
        encodeHandOver(std::filesystem::path("/" + std::string(maxHandOverPathBytes, 'x'))),
        std::invalid_argument);
}

} // namespace
} // namespace vexel::instance
