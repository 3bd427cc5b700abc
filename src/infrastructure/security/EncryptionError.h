#pragma once

#include <exception>
#include <string>

namespace vexel {

// A failure of KeychainAESEncryption's own (the cipher's failures are
// crypto::CryptoError and pass through unchanged).
class EncryptionError : public std::exception {
public:
    enum class Kind {
        keychainError, // the key could not be read or stored; carries the store's report
        invalidKey,    // the stored key is not 16, 24 or 32 bytes of base64
    };

    static EncryptionError keychainError(std::string status);
    // `reason` says what is wrong with the stored key (never the key itself).
    static EncryptionError invalidKey(std::string reason);

    Kind kind() const { return kind_; }
    const std::string& detail() const { return detail_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    EncryptionError(Kind kind, std::string detail);

    Kind kind_;
    std::string detail_;
    std::string description_;
};

} // namespace vexel
