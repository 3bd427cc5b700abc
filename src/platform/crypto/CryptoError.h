#pragma once

#include <exception>
#include <string>

namespace vexel::crypto {

// A failure of the cryptography layer.
class CryptoError : public std::exception {
public:
    enum class Kind {
        incorrectKeySize,       // a key of a length the cipher does not take
        incorrectParameterSize, // sealed data too short to hold a nonce and a tag
        authenticationFailure,  // the tag does not verify: wrong key or changed data
        underlyingFailure,      // the library itself failed; carries its text
    };

    CryptoError(Kind kind, std::string message);

    Kind kind() const { return kind_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    Kind kind_;
    std::string message_;
};

} // namespace vexel::crypto
