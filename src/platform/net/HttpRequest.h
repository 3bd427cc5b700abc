#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace vexel::net {

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    // Sent as given, in this order; names and values must not hold CR, LF or NUL.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // The longest silence tolerated while connecting or between received bytes;
    // not a limit on the whole exchange, so a long stream that keeps talking
    // never times out. Not positive or not finite: no idle limit.
    std::chrono::duration<double> timeout{60};
    // The longest the whole exchange may take, however steadily bytes come;
    // past it the exchange fails as timed out. Not positive or not finite: no
    // limit, as a stream that keeps talking needs.
    std::chrono::duration<double> deadline{0};

    bool operator==(const HttpRequest&) const = default;
};

} // namespace vexel::net
