#pragma once

#include <string>

namespace vexel::keychain {

// Names one item of a secret store, as a generic password is named: by the
// service it belongs to and an account within that service.
struct SecretQuery {
    std::string service;
    std::string account;

    friend bool operator==(const SecretQuery&, const SecretQuery&) = default;
};

} // namespace vexel::keychain
