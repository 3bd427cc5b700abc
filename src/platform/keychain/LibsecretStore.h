#pragma once

#include "platform/keychain/SecretStore.h"

#include <filesystem>

namespace vexel::keychain {

// Items of the desktop's Secret Service (GNOME Keyring, KWallet) through
// libsecret, in the default collection, labelled after their service and
// account. The Service has no "add unless present", so add() looks first;
// callers that must not race each other hold lockExclusive(), a lock on
// `lockFolder` shared with every process of this user. Calls block on D-Bus,
// and may wait for the user where the keyring asks to be unlocked.
class LibsecretStore final : public SecretStore {
public:
    explicit LibsecretStore(std::filesystem::path lockFolder)
        : lockFolder_(std::move(lockFolder)) {}

    std::optional<std::string> find(const SecretQuery& query) const override;
    AddResult add(const SecretQuery& query, std::string_view secret) const override;
    bool remove(const SecretQuery& query) const override;
    std::unique_ptr<SecretStoreLock> lockExclusive() const override;

private:
    std::filesystem::path lockFolder_;
};

} // namespace vexel::keychain
