#pragma once

#include <string_view>

namespace vexel::net {

// True when `text` is an absolute http or https URL with a host, in the form
// the HTTP client accepts.
bool isValidHttpURL(std::string_view text);

} // namespace vexel::net
