#pragma once

#include "platform/net/HttpHeaders.h"

namespace vexel::net {

// The final status and header fields of a response.
struct HttpResponseHead {
    int statusCode = 0;
    HttpHeaders headers;

    bool operator==(const HttpResponseHead&) const = default;
};

} // namespace vexel::net
