#pragma once

#include "domain/protocols/DataEncryption.h"
#include "platform/keychain/SecretQuery.h"
#include "platform/keychain/SecretStore.h"

#include <memory>
#include <string>

namespace vexel {

// AES-GCM (AES-256 for the keys it makes) under a key kept base64-encoded in
// one item of the secret store and made on first use. The output is the
// combined form: nonce (12 bytes) ‖ ciphertext ‖ tag (16 bytes). No key is
// kept in memory between calls: each call reads the store.
class KeychainAESEncryption final : public DataEncryption {
public:
    KeychainAESEncryption(std::string serviceName, std::string account,
                          std::shared_ptr<const keychain::SecretStore> store);

    keychain::SecretQuery searchQuery() const { return {serviceName_, account_}; }

    // Errors: EncryptionError (the key cannot be stored, or the stored one is
    // not a key) and crypto::CryptoError.
    std::string encrypt(std::string_view plaintext) const override;
    // Also crypto::CryptoError when the data is too short or does not
    // authenticate under the key.
    std::string decrypt(std::string_view ciphertext) const override;
    // The secret store's name.
    std::string keyStoreName() const override { return store_->name(); }

    // The stored key, or a new random 256-bit key stored when the store
    // answers that it has none. The store's lock makes "read, and store when
    // absent" one step for every process, so two first callers end with one
    // key; should another writer still come first, its key is used. A store
    // that cannot be read is EncryptionError::keychainError and makes no key;
    // a stored item that is not a key of 16, 24 or 32 bytes is invalidKey.
    // Neither is ever replaced: that would make everything sealed under the
    // key unreadable.
    std::string retrieveOrCreateKey() const;

private:
    std::string serviceName_;
    std::string account_;
    std::shared_ptr<const keychain::SecretStore> store_;
};

} // namespace vexel
