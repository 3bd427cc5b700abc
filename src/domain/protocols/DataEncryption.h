#pragma once

#include <string>
#include <string_view>

namespace vexel {

// Encrypts data kept at rest. Bytes travel in std::string.
class DataEncryption {
public:
    virtual ~DataEncryption() = default;

    virtual std::string encrypt(std::string_view plaintext) const = 0;
    // Fails when the data was not made by encrypt() under the same key or was
    // changed since.
    virtual std::string decrypt(std::string_view ciphertext) const = 0;

    // Where the key lives, in words a user can look for ("the desktop's
    // keyring"), for messages about data that does not open; empty when the
    // key has no such place.
    virtual std::string keyStoreName() const { return {}; }
};

} // namespace vexel
