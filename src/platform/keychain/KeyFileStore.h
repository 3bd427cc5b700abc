#pragma once

#include "platform/keychain/SecretStore.h"

#include <filesystem>

namespace vexel::keychain {

// Secrets as files in one folder private to the user (mode 0700), each file
// of mode 0600 and written atomically: the store for machines where no
// Secret Service answers. An item's file is named "<service>@<account>", with
// every byte outside letters, digits, "-", "_" and "." (and a leading ".")
// written as %XX, so any pair of names maps to one file name of its own.
class KeyFileStore final : public SecretStore {
public:
    explicit KeyFileStore(std::filesystem::path folder)
        : folder_(std::move(folder)) {}

    std::optional<std::string> find(const SecretQuery& query) const override;
    AddResult add(const SecretQuery& query, std::string_view secret) const override;
    bool remove(const SecretQuery& query) const override;
    std::unique_ptr<SecretStoreLock> lockExclusive() const override;
    std::string name() const override { return "the key folder " + folder_.string(); }

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path itemPath(const SecretQuery& query) const;

private:
    std::filesystem::path folder_;
};

} // namespace vexel::keychain
