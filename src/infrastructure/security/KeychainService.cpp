#include "infrastructure/security/KeychainService.h"

#include "foundation/UnicodeText.h"
#include "infrastructure/security/KeychainError.h"
#include "platform/keychain/SecretStoreError.h"

namespace vexel {

KeychainService::KeychainService(std::string serviceName, std::string account,
                                 std::shared_ptr<const keychain::SecretStore> store)
    : serviceName_(std::move(serviceName))
    , account_(std::move(account))
    , store_(std::move(store)) {}

void KeychainService::save(std::string_view text) const {
    if (!unicode::isValidUtf8(text)) {
        throw KeychainError::encodingFailed();
    }
    try {
        auto lock = store_->lockExclusive();
        store_->remove(searchQuery());
        if (store_->add(searchQuery(), text) == keychain::SecretStore::AddResult::duplicate) {
            throw KeychainError::unexpectedStatus("duplicate item");
        }
    } catch (const keychain::SecretStoreError& error) {
        throw KeychainError::unexpectedStatus(error.what());
    }
}

std::optional<std::string> KeychainService::read() const {
    try {
        std::optional<std::string> value = store_->find(searchQuery());
        if (value && unicode::isValidUtf8(*value)) {
            return value;
        }
    } catch (const keychain::SecretStoreError&) {
    }
    return std::nullopt;
}

void KeychainService::remove() const {
    try {
        store_->remove(searchQuery());
    } catch (const keychain::SecretStoreError& error) {
        throw KeychainError::unexpectedStatus(error.what());
    }
}

} // namespace vexel
