#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace vexel::instance {

// The address of the local socket at `path`; none when the path does not fit
// in a socket address (about 107 bytes) or holds a NUL.
std::optional<sockaddr_un> unixSocketAddress(const std::filesystem::path& path);

// The address of the socket named `name` in the kernel's abstract namespace:
// no file stands for it, so nothing done to files can remove or replace it,
// and it goes when the socket closes, however its process ends. None when the
// name is empty, too long or holds a NUL.
std::optional<sockaddr_un> abstractSocketAddress(std::string_view name);

// How many bytes of `address` bind() and connect() take: all of it for a
// path, the name's own bytes for an abstract one (which would otherwise name
// another socket, padded with NULs).
socklen_t addressLength(const sockaddr_un& address);

} // namespace vexel::instance
