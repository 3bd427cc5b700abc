#pragma once

#include <exception>
#include <string>

namespace vexel::net {

// An HTTP exchange that failed below the level of HTTP statuses.
class HttpTransportError : public std::exception {
public:
    enum class Kind {
        timedOut,        // nothing arrived for longer than the request's timeout
        connectionLost,  // the peer closed or reset the connection mid-exchange
        invalidResponse, // what came back is not an HTTP response
        failed,          // anything else: name resolution, refused connection, TLS, ...
    };

    // `code` is the code of the library that performed the exchange.
    HttpTransportError(Kind kind, int code, std::string detail);

    Kind kind() const { return kind_; }
    int code() const { return code_; }
    const std::string& detail() const { return detail_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    Kind kind_;
    int code_;
    std::string detail_;
    std::string text_;
};

} // namespace vexel::net
