#pragma once

#include "platform/keychain/SecretQuery.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vexel::keychain {

// Held while a read-check-store sequence runs; released on destruction.
class SecretStoreLock {
public:
    virtual ~SecretStoreLock() = default;
};

// A store of secret items, each named by a SecretQuery and holding bytes.
// Operations that cannot reach the store or are refused by it throw
// SecretStoreError. Safe to call from any thread.
class SecretStore {
public:
    enum class AddResult { added, duplicate };

    virtual ~SecretStore() = default;

    // The item's secret, or nothing when the store answers that there is no
    // such item. A store that cannot tell (unreachable, locked, unreadable)
    // throws: callers must be able to rely on "nothing" meaning just that.
    virtual std::optional<std::string> find(const SecretQuery& query) const = 0;
    // Adds the item unless one of that name exists, which is left untouched.
    virtual AddResult add(const SecretQuery& query, std::string_view secret) const = 0;
    // Removes the item; false when there was none.
    virtual bool remove(const SecretQuery& query) const = 0;
    // Keeps every other holder of this store's lock, in this process or
    // another, waiting until the returned lock is released, so that "read,
    // and store when absent" is one step for all of them.
    virtual std::unique_ptr<SecretStoreLock> lockExclusive() const = 0;
    // The store in words a user can look for, for messages about its items.
    virtual std::string name() const = 0;
};

} // namespace vexel::keychain
