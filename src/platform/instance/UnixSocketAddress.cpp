#include "platform/instance/UnixSocketAddress.h"

#include <sys/socket.h>

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

} // namespace vexel::instance
