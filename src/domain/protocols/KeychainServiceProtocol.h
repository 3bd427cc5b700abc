#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// Keeps one text value (an access token, say) in the desktop's secret store.
class KeychainServiceProtocol {
public:
    virtual ~KeychainServiceProtocol() = default;

    // Replaces the stored value.
    virtual void save(std::string_view text) const = 0;
    // The stored value; absent when there is none or it cannot be read.
    virtual std::optional<std::string> read() const = 0;
    // Removes the value; nothing to remove is no error.
    virtual void remove() const = 0;
};

} // namespace vexel
