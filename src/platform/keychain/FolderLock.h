#pragma once

#include "foundation/FolderLock.h"
#include "platform/keychain/SecretStore.h"

#include <filesystem>

namespace vexel::keychain {

// The store's lock on its key folder (see vexel::FolderLock), creating the
// folder, private to the user (mode 0700), when it is missing. Failures are
// SecretStoreError.
class FolderLock final : public SecretStoreLock {
public:
    explicit FolderLock(const std::filesystem::path& folder);

private:
    vexel::FolderLock lock_;
};

// Creates `folder` with its parents, the folder itself private to the user.
void ensureKeyFolder(const std::filesystem::path& folder);

} // namespace vexel::keychain
