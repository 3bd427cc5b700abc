#include "infrastructure/network/AuthenticationError.h"

namespace vexel {

namespace {

std::string describe(AuthenticationError::Kind kind, int statusCode) {
    using Kind = AuthenticationError::Kind;
    switch (kind) {
    case Kind::networkError:
        return "networkError";
    case Kind::unexpectedResponse:
        return "unexpectedResponse(" + std::to_string(statusCode) + ")";
    case Kind::serverError:
        return "serverError";
    case Kind::tokenExpired:
        return "tokenExpired";
    case Kind::tokenInvalid:
        return "tokenInvalid";
    case Kind::configuredTokenRefused:
        return "configuredTokenRefused";
    }
    return "unknown";
}

} // namespace

AuthenticationError::AuthenticationError(Kind kind, int statusCode)
    : kind_(kind)
    , statusCode_(statusCode)
    , logSafeDescription_(describe(kind, statusCode)) {}

AuthenticationError AuthenticationError::networkError() {
    return AuthenticationError(Kind::networkError, 0);
}

AuthenticationError AuthenticationError::unexpectedResponse(int statusCode) {
    return AuthenticationError(Kind::unexpectedResponse, statusCode);
}

AuthenticationError AuthenticationError::serverError() {
    return AuthenticationError(Kind::serverError, 0);
}

AuthenticationError AuthenticationError::tokenExpired() {
    return AuthenticationError(Kind::tokenExpired, 0);
}

AuthenticationError AuthenticationError::tokenInvalid() {
    return AuthenticationError(Kind::tokenInvalid, 0);
}

AuthenticationError AuthenticationError::configuredTokenRefused() {
    return AuthenticationError(Kind::configuredTokenRefused, 0);
}

} // namespace vexel
