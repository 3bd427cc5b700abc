#pragma once

#include <sys/un.h>

#include <filesystem>
#include <optional>

namespace vexel::instance {

// The address of the local socket at `path`; none when the path does not fit
// in a socket address (about 107 bytes) or holds a NUL.
std::optional<sockaddr_un> unixSocketAddress(const std::filesystem::path& path);

} // namespace vexel::instance
