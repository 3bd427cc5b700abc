#include "infrastructure/network/APIClientError.h"

#include <utility>

namespace vexel {

namespace {

std::string describe(APIClientError::Kind kind, const std::string& detail, int statusCode) {
    using Kind = APIClientError::Kind;
    switch (kind) {
    case Kind::invalidURL:
        return "invalidURL";
    case Kind::forbidden:
        return "forbidden(" + detail + ")";
    case Kind::rateLimited:
        return "rateLimited";
    case Kind::serverError:
        return "serverError(" + std::to_string(statusCode) + ")";
    case Kind::invalidResponse:
        return "invalidResponse(" + std::to_string(statusCode) + ")";
    case Kind::networkError:
        return "networkError";
    case Kind::unauthorized:
        return "unauthorized";
    case Kind::networkDisconnected:
        return "networkDisconnected";
    }
    return "unknown";
}

} // namespace

APIClientError::APIClientError(Kind kind, std::string detail, std::optional<double> retryAfter,
                               int statusCode)
    : kind_(kind)
    , detail_(std::move(detail))
    , retryAfter_(retryAfter)
    , statusCode_(statusCode)
    , logSafeDescription_(describe(kind_, detail_, statusCode_)) {}

APIClientError APIClientError::invalidURL(std::string url) {
    return {Kind::invalidURL, std::move(url), std::nullopt, 0};
}

APIClientError APIClientError::forbidden(std::string errorType) {
    return {Kind::forbidden, std::move(errorType), std::nullopt, 0};
}

APIClientError APIClientError::rateLimited(std::optional<double> retryAfter) {
    return {Kind::rateLimited, {}, retryAfter, 0};
}

APIClientError APIClientError::serverError(int statusCode) {
    return {Kind::serverError, {}, std::nullopt, statusCode};
}

APIClientError APIClientError::invalidResponse(int statusCode) {
    return {Kind::invalidResponse, {}, std::nullopt, statusCode};
}

APIClientError APIClientError::networkError(std::string message) {
    return {Kind::networkError, std::move(message), std::nullopt, 0};
}

APIClientError APIClientError::unauthorized() {
    return {Kind::unauthorized, {}, std::nullopt, 0};
}

APIClientError APIClientError::networkDisconnected() {
    return {Kind::networkDisconnected, {}, std::nullopt, 0};
}

bool APIClientError::operator==(const APIClientError& other) const {
    return kind_ == other.kind_ && detail_ == other.detail_ && retryAfter_ == other.retryAfter_ &&
           statusCode_ == other.statusCode_;
}

} // namespace vexel
