#include "platform/crypto/CryptoError.h"

namespace vexel::crypto {

CryptoError::CryptoError(Kind kind, std::string message)
    : kind_(kind)
    , message_(std::move(message)) {}

} // namespace vexel::crypto
