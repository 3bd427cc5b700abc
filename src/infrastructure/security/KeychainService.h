#pragma once

#include "domain/protocols/KeychainServiceProtocol.h"
#include "platform/keychain/SecretQuery.h"
#include "platform/keychain/SecretStore.h"

#include <memory>
#include <string>

namespace vexel {

// One text value in one item of the secret store, named by a service and an
// account.
class KeychainService final : public KeychainServiceProtocol {
public:
    KeychainService(std::string serviceName, std::string account,
                    std::shared_ptr<const keychain::SecretStore> store);

    // The item every operation works on.
    keychain::SecretQuery searchQuery() const { return {serviceName_, account_}; }

    // Replaces the item (remove, then add, as one step for every process).
    // Throws KeychainError: encodingFailed for text that is not valid UTF-8,
    // unexpectedStatus with the store's report otherwise.
    void save(std::string_view text) const override;
    // Absent when there is no item, the store cannot be asked, or the value
    // is not valid UTF-8.
    std::optional<std::string> read() const override;
    // Throws KeychainError::unexpectedStatus when the store fails.
    void remove() const override;

private:
    std::string serviceName_;
    std::string account_;
    std::shared_ptr<const keychain::SecretStore> store_;
};

} // namespace vexel
