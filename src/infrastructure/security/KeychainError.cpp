#include "infrastructure/security/KeychainError.h"

#include "foundation/CaseText.h"

namespace vexel {

KeychainError::KeychainError(Kind kind, std::string status)
    : kind_(kind)
    , status_(std::move(status))
    , description_(kind == Kind::unexpectedStatus
                       ? casetext::call("unexpectedStatus", {casetext::quoted(status_)})
                       : casetext::call("encodingFailed", {})) {}

KeychainError KeychainError::unexpectedStatus(std::string status) {
    return KeychainError(Kind::unexpectedStatus, std::move(status));
}

KeychainError KeychainError::encodingFailed() {
    return KeychainError(Kind::encodingFailed, {});
}

} // namespace vexel
