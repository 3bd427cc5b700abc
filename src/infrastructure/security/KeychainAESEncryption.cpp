#include "infrastructure/security/KeychainAESEncryption.h"

#include "foundation/Base64.h"
#include "infrastructure/security/EncryptionError.h"
#include "platform/crypto/AesGcm.h"
#include "platform/keychain/SecretStoreError.h"

namespace vexel {

namespace {

constexpr std::size_t kNewKeySize = 32;

std::string keyFromStored(const std::string& stored) {
    std::optional<std::string> key = base64::decode(stored);
    if (!key) {
        throw EncryptionError::invalidKey("the stored key is not base64");
    }
    if (key->size() != 16 && key->size() != 24 && key->size() != 32) {
        throw EncryptionError::invalidKey("the stored key has " + std::to_string(key->size()) +
                                          " bytes");
    }
    return std::move(*key);
}

} // namespace

KeychainAESEncryption::KeychainAESEncryption(std::string serviceName, std::string account,
                                             std::shared_ptr<const keychain::SecretStore> store)
    : serviceName_(std::move(serviceName))
    , account_(std::move(account))
    , store_(std::move(store)) {}

std::string KeychainAESEncryption::retrieveOrCreateKey() const {
    const keychain::SecretQuery query = searchQuery();
    try {
        // Only a store that answers that it holds no such item gets a new
        // key. A store that cannot be read (locked, slow, gone for now) may
        // well hold the key everything so far was sealed under: a second key
        // beside it, or in its place, would leave that work unreadable.
        auto lock = store_->lockExclusive();
        if (std::optional<std::string> stored = store_->find(query)) {
            return keyFromStored(*stored);
        }
        std::string key = crypto::randomBytes(kNewKeySize);
        if (store_->add(query, base64::encode(key)) == keychain::SecretStore::AddResult::added) {
            return key;
        }
        if (std::optional<std::string> stored = store_->find(query)) {
            return keyFromStored(*stored);
        }
        throw EncryptionError::keychainError("duplicate item");
    } catch (const keychain::SecretStoreError& error) {
        throw EncryptionError::keychainError(error.what());
    }
}

std::string KeychainAESEncryption::encrypt(std::string_view plaintext) const {
    return crypto::sealAesGcm(retrieveOrCreateKey(), plaintext);
}

std::string KeychainAESEncryption::decrypt(std::string_view ciphertext) const {
    return crypto::openAesGcm(retrieveOrCreateKey(), ciphertext);
}

} // namespace vexel
