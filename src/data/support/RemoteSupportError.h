#pragma once

#include <exception>
#include <string>

namespace vexel {

// Why the backend did not take a support report.
class RemoteSupportError : public std::exception {
public:
    enum class Kind {
        httpError,       // answered with a status outside 200 to 299
        invalidURL,      // the base URL plus "/feedback" is not a URL
        invalidResponse, // the exchange ended without an HTTP answer
    };

    static RemoteSupportError httpError(int statusCode);
    static RemoteSupportError invalidURL();
    static RemoteSupportError invalidResponse();

    Kind kind() const { return kind_; }
    // The status of httpError; 0 otherwise.
    int statusCode() const { return statusCode_; }

    // httpError(statusCode: 500), invalidURL, invalidResponse.
    const char* what() const noexcept override { return description_.c_str(); }

    friend bool operator==(const RemoteSupportError& a, const RemoteSupportError& b) {
        return a.kind_ == b.kind_ && a.statusCode_ == b.statusCode_;
    }

private:
    RemoteSupportError(Kind kind, int statusCode);

    Kind kind_;
    int statusCode_;
    std::string description_;
};

} // namespace vexel
