#pragma once

#include "platform/net/HttpClient.h"

namespace vexel::net {

// The HTTP client of the application, on libcurl. Only http and https are
// spoken and redirects are not followed: a bearer token is never replayed to
// another address.
class CurlHttpClient final : public HttpClient {
public:
    CurlHttpClient();
    ~CurlHttpClient() override;
    CurlHttpClient(const CurlHttpClient&) = delete;
    CurlHttpClient& operator=(const CurlHttpClient&) = delete;

    void send(const HttpRequest& request, HttpResponseHandler& handler,
              std::stop_token stop) override;
};

} // namespace vexel::net
