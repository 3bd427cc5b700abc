#pragma once

#include <exception>
#include <string>

namespace vexel {

// A failure of KeychainService.
class KeychainError : public std::exception {
public:
    enum class Kind {
        unexpectedStatus, // the secret store refused or could not be asked
        encodingFailed,   // the text is not valid UTF-8
    };

    // `status`: the store's own report of the failure.
    static KeychainError unexpectedStatus(std::string status);
    static KeychainError encodingFailed();

    Kind kind() const { return kind_; }
    const std::string& status() const { return status_; }
    // unexpectedStatus("…") or encodingFailed
    const char* what() const noexcept override { return description_.c_str(); }

private:
    KeychainError(Kind kind, std::string status);

    Kind kind_;
    std::string status_;
    std::string description_;
};

} // namespace vexel
