#include "platform/keychain/KeyFileStore.h"

#include "foundation/AtomicFileWriter.h"
#include "foundation/FileContents.h"
#include "platform/keychain/FolderLock.h"
#include "platform/keychain/SecretStoreError.h"

#include <cerrno>
#include <system_error>

namespace vexel::keychain {

namespace {

constexpr std::size_t kMaxFileNameBytes = 255;

bool keptAsIs(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

// A leading "." is escaped too: item files never begin with one, so they can
// neither be hidden nor be taken for the writer's temporary files.
std::string escaped(std::string_view name) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (keptAsIs(c) && !(i == 0 && c == '.')) {
            out += c;
        } else {
            auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
    return out;
}

} // namespace

std::filesystem::path KeyFileStore::itemPath(const SecretQuery& query) const {
    std::string name = escaped(query.service) + "@" + escaped(query.account);
    if (name.size() > kMaxFileNameBytes) {
        throw SecretStoreError("the item's name is too long for a key file");
    }
    return folder_ / name;
}

std::optional<std::string> KeyFileStore::find(const SecretQuery& query) const {
    try {
        return readFileContents(itemPath(query));
    } catch (const std::filesystem::filesystem_error& error) {
        if (error.code() == std::errc::no_such_file_or_directory) {
            return std::nullopt;
        }
        throw SecretStoreError(error.what());
    }
}

SecretStore::AddResult KeyFileStore::add(const SecretQuery& query, std::string_view secret) const {
    const std::filesystem::path path = itemPath(query);
    ensureKeyFolder(folder_);
    try {
        AtomicFileWriter writer(path, 0600);
        writer.write(secret);
        writer.commitWithoutReplacing();
        return AddResult::added;
    } catch (const std::filesystem::filesystem_error& error) {
        if (error.code() == std::errc::file_exists) {
            return AddResult::duplicate;
        }
        throw SecretStoreError(error.what());
    }
}

bool KeyFileStore::remove(const SecretQuery& query) const {
    std::error_code error;
    bool removed = std::filesystem::remove(itemPath(query), error);
    if (error && error != std::errc::no_such_file_or_directory) {
        throw SecretStoreError("cannot remove key file: " + error.message());
    }
    if (removed) {
        try {
            syncFolder(folder_);
        } catch (const std::filesystem::filesystem_error& failure) {
            throw SecretStoreError(failure.what());
        }
    }
    return removed;
}

std::unique_ptr<SecretStoreLock> KeyFileStore::lockExclusive() const {
    return std::make_unique<FolderLock>(folder_);
}

} // namespace vexel::keychain
