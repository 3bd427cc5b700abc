#pragma once

#include "platform/keychain/SecretStore.h"

#include <filesystem>

namespace vexel::keychain {

// An exclusive advisory lock (flock) on a folder, held for the object's life.
// Each lock opens the folder anew, so it excludes other threads of this
// process as well as other processes. Creates the folder, private to the user
// (mode 0700), when it is missing. Failures are SecretStoreError.
class FolderLock final : public SecretStoreLock {
public:
    explicit FolderLock(const std::filesystem::path& folder);
    ~FolderLock() override;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

// Creates `folder` with its parents, the folder itself private to the user.
void ensureKeyFolder(const std::filesystem::path& folder);

} // namespace vexel::keychain
