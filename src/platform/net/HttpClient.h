#pragma once

#include "platform/net/HttpRequest.h"
#include "platform/net/HttpResponseHandler.h"

#include <stop_token>

namespace vexel::net {

// Performs HTTP exchanges; implementations may be used from several threads at once.
class HttpClient {
public:
    virtual ~HttpClient() = default;

    // Sends `request` and hands the response to `handler` as it arrives; returns
    // when the response has been read to its end or the handler stopped it.
    // Throws HttpTransportError when the exchange fails, CancellationError when
    // `stop` is requested before it ends, and whatever the handler throws.
    virtual void send(const HttpRequest& request, HttpResponseHandler& handler,
                      std::stop_token stop) = 0;
};

} // namespace vexel::net
