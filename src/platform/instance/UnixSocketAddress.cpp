#include "platform/instance/UnixSocketAddress.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace vexel::instance {

std::optional<sockaddr_un> unixSocketAddress(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& bytes = path.native();
    if (bytes.empty() || bytes.size() >= sizeof(address.sun_path) ||
        bytes.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, bytes.data(), bytes.size());
    return address;
}

std::optional<sockaddr_un> abstractSocketAddress(std::string_view name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.empty() || name.size() >= sizeof(address.sun_path) ||
        name.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return address;
}

socklen_t addressLength(const sockaddr_un& address) {
    if (address.sun_path[0] != '\0') {
        return sizeof(sockaddr_un);
    }
    const std::size_t name = ::strnlen(address.sun_path + 1, sizeof(address.sun_path) - 1);
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name);
}

} // namespace vexel::instance
