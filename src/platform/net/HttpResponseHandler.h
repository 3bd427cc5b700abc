#pragma once

#include "platform/net/HttpResponseHead.h"

#include <string_view>

namespace vexel::net {

// Receives one response as it arrives. Both calls may throw: the transfer then
// ends and the exception reaches the caller of HttpClient::send unchanged.
class HttpResponseHandler {
public:
    virtual ~HttpResponseHandler() = default;

    // Called once, with the final status, before any body byte (also when the
    // body is empty).
    virtual void onResponse(const HttpResponseHead& head) = 0;

    // Called with each piece of the body in order. Returning false ends the
    // transfer early as a normal end.
    virtual bool onBody(std::string_view bytes) = 0;
};

} // namespace vexel::net
