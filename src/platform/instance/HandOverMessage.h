#pragma once

#include <climits>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// What a later start of the application says to the running instance over
// their local socket. The request: "VXL1", the length of the folder's path in
// four bytes (most significant first), then the path's bytes as the file
// system has them, since a Linux file name may be any bytes (length 0: no
// folder). The answer: the one byte `handOverTaken`, once the running instance
// has taken the request over.
namespace vexel::instance {

inline constexpr char handOverTaken = 'A';
// The longest path the system opens (PATH_MAX counts the closing NUL): a
// longer one names no folder that could be opened, and a request that
// announces one is refused before its bytes are held.
inline constexpr std::size_t maxHandOverPathBytes = PATH_MAX - 1;

// The request for `folder`, which must be absolute (none: only come forward).
// Throws std::invalid_argument for a relative path or one longer than
// maxHandOverPathBytes.
std::string encodeHandOver(const std::optional<std::filesystem::path>& folder);

// Reads one request as its bytes arrive.
class HandOverReader {
public:
    enum class State { incomplete, complete, malformed };

    // Takes the bytes that came; bytes after a complete request are ignored.
    // Malformed: not this form, too long, or a path that is not absolute or
    // holds a NUL.
    State add(std::string_view bytes);

    State state() const { return state_; }
    // The folder of a complete request; none when it named none.
    const std::optional<std::filesystem::path>& folder() const { return folder_; }

private:
    std::string bytes_;
    State state_ = State::incomplete;
    std::optional<std::filesystem::path> folder_;
};

} // namespace vexel::instance
