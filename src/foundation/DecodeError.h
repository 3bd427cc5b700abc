#pragma once

#include <stdexcept>
#include <string>

namespace vexel {

// A failure to read an encoded value: which member and why.
class DecodeError : public std::runtime_error {
public:
    enum class Kind { keyNotFound, valueNotFound, typeMismatch, dataCorrupted };

    DecodeError(Kind kind, std::string key, std::string description);

    static DecodeError keyNotFound(std::string key);
    static DecodeError valueNotFound(std::string key, std::string expectedType);
    static DecodeError typeMismatch(std::string key, std::string expectedType);
    static DecodeError dataCorrupted(std::string key, std::string description);

    Kind kind() const { return kind_; }
    // The member the error is attached to; empty for the value itself.
    const std::string& key() const { return key_; }
    const std::string& description() const { return description_; }

private:
    Kind kind_;
    std::string key_;
    std::string description_;
};

const char* toString(DecodeError::Kind kind);

} // namespace vexel
