#include "platform/instance/HandOverMessage.h"

#include <algorithm>
#include <stdexcept>

namespace vexel::instance {

namespace {

constexpr std::string_view magic = "VXL1";
constexpr std::size_t headerBytes = magic.size() + 4;

} // namespace

std::string encodeHandOver(const std::optional<std::filesystem::path>& folder) {
    const std::string path = folder ? folder->native() : std::string();
    if (folder && !folder->is_absolute()) {
        throw std::invalid_argument("the folder handed over must be absolute");
    }
    if (path.size() > maxHandOverPathBytes) {
        throw std::invalid_argument("the folder handed over has too long a path");
    }
    std::string request(magic);
    for (int shift = 24; shift >= 0; shift -= 8) {
        request.push_back(char((path.size() >> shift) & 0xFF));
    }
    return request + path;
}

HandOverReader::State HandOverReader::add(std::string_view bytes) {
    if (state_ != State::incomplete) {
        return state_;
    }
    bytes_.append(bytes);
    const std::size_t known = std::min(bytes_.size(), magic.size());
    if (std::string_view(bytes_).substr(0, known) != magic.substr(0, known)) {
        return state_ = State::malformed;
    }
    if (bytes_.size() < headerBytes) {
        return state_;
    }
    std::size_t length = 0;
    for (std::size_t i = magic.size(); i < headerBytes; ++i) {
        length = (length << 8) | static_cast<unsigned char>(bytes_[i]);
    }
    if (length > maxHandOverPathBytes) {
        return state_ = State::malformed;
    }
    if (bytes_.size() < headerBytes + length) {
        return state_;
    }
    const std::string path = bytes_.substr(headerBytes, length);
    bytes_.clear();
    if (length == 0) {
        return state_ = State::complete;
    }
    // Opened where the running instance stands, a relative path would name
    // another folder than the one the user gave.
    if (path.find('\0') != std::string::npos || path.front() != '/') {
        return state_ = State::malformed;
    }
    folder_ = std::filesystem::path(path);
    return state_ = State::complete;
}

} // namespace vexel::instance
