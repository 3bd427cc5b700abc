#include "platform/keychain/FolderLock.h"

#include "foundation/PrivateFolder.h"
#include "platform/keychain/SecretStoreError.h"

namespace vexel::keychain {

void ensureKeyFolder(const std::filesystem::path& folder) {
    try {
        ensurePrivateFolderAndParents(folder);
    } catch (const std::filesystem::filesystem_error& error) {
        throw SecretStoreError(error.what());
    }
}

namespace {

vexel::FolderLock lockKeyFolder(const std::filesystem::path& folder) {
    ensureKeyFolder(folder);
    try {
        return vexel::FolderLock(folder);
    } catch (const std::filesystem::filesystem_error& error) {
        throw SecretStoreError(error.what());
    }
}

} // namespace

FolderLock::FolderLock(const std::filesystem::path& folder)
    : lock_(lockKeyFolder(folder)) {}

} // namespace vexel::keychain
