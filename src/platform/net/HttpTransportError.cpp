#include "platform/net/HttpTransportError.h"

namespace vexel::net {

HttpTransportError::HttpTransportError(Kind kind, int code, std::string detail)
    : kind_(kind)
    , code_(code)
    , detail_(std::move(detail))
    , text_("HTTP exchange failed (code " + std::to_string(code_) + "): " + detail_) {}

} // namespace vexel::net
