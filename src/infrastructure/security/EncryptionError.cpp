#include "infrastructure/security/EncryptionError.h"

#include "foundation/CaseText.h"

namespace vexel {

namespace {

std::string describe(EncryptionError::Kind kind, const std::string& detail) {
    switch (kind) {
    case EncryptionError::Kind::keychainError:
        return casetext::call("keychainError", {casetext::quoted(detail)});
    case EncryptionError::Kind::invalidKey:
        return casetext::call("invalidKey", {casetext::quoted(detail)});
    }
    return {};
}

} // namespace

EncryptionError::EncryptionError(Kind kind, std::string detail)
    : kind_(kind)
    , detail_(std::move(detail))
    , description_(describe(kind_, detail_)) {}

EncryptionError EncryptionError::keychainError(std::string status) {
    return EncryptionError(Kind::keychainError, std::move(status));
}

EncryptionError EncryptionError::invalidKey(std::string reason) {
    return EncryptionError(Kind::invalidKey, std::move(reason));
}

} // namespace vexel
