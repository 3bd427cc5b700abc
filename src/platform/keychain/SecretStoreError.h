#pragma once

#include <stdexcept>
#include <string>

namespace vexel::keychain {

// The secret store could not be asked or refused the operation; the message
// is the store's own report (the D-Bus error, the file system's error).
class SecretStoreError : public std::runtime_error {
public:
    explicit SecretStoreError(const std::string& message)
        : std::runtime_error(message) {}
};

} // namespace vexel::keychain
