#pragma once

#include "platform/keychain/SecretStore.h"

#include <filesystem>

namespace vexel::keychain {

// Items of the desktop's Secret Service (GNOME Keyring, KWallet) through
// libsecret, in the default collection, labelled after their service and
// account. The Service has no "add unless present", so add() looks first, at
// locked items too; callers that must not race each other hold
// lockExclusive(), a lock on `lockFolder` shared with every process of this
// user. find() reports an item it cannot read (its keyring stays locked) as a
// failure, never as a missing item. Calls block on D-Bus, and may wait for the
// user where the keyring asks to be unlocked.
class LibsecretStore final : public SecretStore {
public:
    explicit LibsecretStore(std::filesystem::path lockFolder)
        : lockFolder_(std::move(lockFolder)) {}

    std::optional<std::string> find(const SecretQuery& query) const override;
    AddResult add(const SecretQuery& query, std::string_view secret) const override;
    bool remove(const SecretQuery& query) const override;
    std::unique_ptr<SecretStoreLock> lockExclusive() const override;
    std::string name() const override { return "the desktop's keyring"; }

private:
    std::filesystem::path lockFolder_;
};

} // namespace vexel::keychain
