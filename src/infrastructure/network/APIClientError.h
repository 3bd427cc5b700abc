#pragma once

#include <exception>
#include <optional>
#include <string>

namespace vexel {

// Why a request to the assistant backend failed.
class APIClientError : public std::exception {
public:
    enum class Kind {
        invalidURL,          // the request URL does not parse
        forbidden,           // 403
        rateLimited,         // 429
        serverError,         // 500 to 599
        invalidResponse,     // any other status outside 200 to 299
        networkError,        // time-out, other transfer failures, a reply that is not HTTP
        unauthorized,        // 401
        networkDisconnected, // no connection, or the connection was lost
    };

    static APIClientError invalidURL(std::string url);
    static APIClientError forbidden(std::string errorType);
    static APIClientError rateLimited(std::optional<double> retryAfter);
    static APIClientError serverError(int statusCode);
    static APIClientError invalidResponse(int statusCode);
    static APIClientError networkError(std::string message);
    static APIClientError unauthorized();
    static APIClientError networkDisconnected();

    Kind kind() const { return kind_; }
    // The URL of invalidURL, the error type of forbidden, the message of networkError.
    const std::string& detail() const { return detail_; }
    // The delay the server asked for, in seconds (rateLimited).
    std::optional<double> retryAfter() const { return retryAfter_; }
    // The HTTP status of serverError and invalidResponse.
    int statusCode() const { return statusCode_; }

    // What may go to the log: the case name, with the forbidden type or the
    // status code; never a URL, message or delay.
    const std::string& logSafeDescription() const { return logSafeDescription_; }
    const char* what() const noexcept override { return logSafeDescription_.c_str(); }

    bool operator==(const APIClientError& other) const;

private:
    APIClientError(Kind kind, std::string detail, std::optional<double> retryAfter, int statusCode);

    Kind kind_;
    std::string detail_;
    std::optional<double> retryAfter_;
    int statusCode_;
    std::string logSafeDescription_;
};

} // namespace vexel
