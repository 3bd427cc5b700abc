#include "foundation/DecodeError.h"

namespace vexel {

namespace {

std::string composeWhat(DecodeError::Kind kind, const std::string& key,
                        const std::string& description) {
    std::string out = toString(kind);
    if (!key.empty()) {
        out += " at \"" + key + "\"";
    }
    out += ": " + description;
    return out;
}

} // namespace

DecodeError::DecodeError(Kind kind, std::string key, std::string description)
    : std::runtime_error(composeWhat(kind, key, description))
    , kind_(kind)
    , key_(std::move(key))
    , description_(std::move(description)) {}

DecodeError DecodeError::keyNotFound(std::string key) {
    std::string description = "No value associated with key \"" + key + "\".";
    return DecodeError(Kind::keyNotFound, std::move(key), std::move(description));
}

DecodeError DecodeError::valueNotFound(std::string key, std::string expectedType) {
    return DecodeError(Kind::valueNotFound, std::move(key),
                       "Expected " + expectedType + " value but found null instead.");
}

DecodeError DecodeError::typeMismatch(std::string key, std::string expectedType) {
    return DecodeError(Kind::typeMismatch, std::move(key),
                       "Expected to decode " + expectedType + " but found another type instead.");
}

DecodeError DecodeError::dataCorrupted(std::string key, std::string description) {
    return DecodeError(Kind::dataCorrupted, std::move(key), std::move(description));
}

const char* toString(DecodeError::Kind kind) {
    switch (kind) {
    case DecodeError::Kind::keyNotFound:
        return "keyNotFound";
    case DecodeError::Kind::valueNotFound:
        return "valueNotFound";
    case DecodeError::Kind::typeMismatch:
        return "typeMismatch";
    case DecodeError::Kind::dataCorrupted:
        return "dataCorrupted";
    }
    return "dataCorrupted";
}

} // namespace vexel
