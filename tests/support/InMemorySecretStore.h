#pragma once

#include "platform/keychain/SecretStore.h"
#include "platform/keychain/SecretStoreError.h"

#include <functional>
#include <map>
#include <mutex>
#include <utility>

namespace vexel::testing {

// A secret store in memory, so that tests never reach the desktop's keyring.
// It can be told to fail, and to let "someone else" add an item just before
// an add of ours, as a racing process would.
class InMemorySecretStore final : public keychain::SecretStore {
public:
    std::optional<std::string> find(const keychain::SecretQuery& query) const override {
        std::lock_guard guard(mutex_);
        if (failFinds) {
            throw keychain::SecretStoreError("the store is not answering");
        }
        auto found = items_.find(key(query));
        return found == items_.end() ? std::nullopt : std::optional(found->second);
    }

    AddResult add(const keychain::SecretQuery& query, std::string_view secret) const override {
        if (beforeAdd) {
            beforeAdd();
        }
        std::lock_guard guard(mutex_);
        if (failAdds) {
            throw keychain::SecretStoreError("the store refuses to add");
        }
        ++addCount;
        return items_.try_emplace(key(query), secret).second ? AddResult::added
                                                             : AddResult::duplicate;
    }

    bool remove(const keychain::SecretQuery& query) const override {
        std::lock_guard guard(mutex_);
        return items_.erase(key(query)) > 0;
    }

    std::unique_ptr<keychain::SecretStoreLock> lockExclusive() const override {
        struct Lock : keychain::SecretStoreLock {
            explicit Lock(std::mutex& m)
                : hold(m) {}
            std::unique_lock<std::mutex> hold;
        };
        return std::make_unique<Lock>(sequence_);
    }

    std::string name() const override { return "the test's key store"; }

    // Sets an item directly, as another program might have.
    void put(const keychain::SecretQuery& query, std::string secret) {
        std::lock_guard guard(mutex_);
        items_[key(query)] = std::move(secret);
    }
    std::optional<std::string> item(const keychain::SecretQuery& query) const {
        std::lock_guard guard(mutex_);
        auto found = items_.find(key(query));
        return found == items_.end() ? std::nullopt : std::optional(found->second);
    }
    std::size_t size() const {
        std::lock_guard guard(mutex_);
        return items_.size();
    }

    bool failFinds = false;
    bool failAdds = false;
    std::function<void()> beforeAdd;
    mutable int addCount = 0;

private:
    static std::pair<std::string, std::string> key(const keychain::SecretQuery& query) {
        return {query.service, query.account};
    }

    mutable std::mutex mutex_;
    mutable std::mutex sequence_;
    mutable std::map<std::pair<std::string, std::string>, std::string> items_;
};

} // namespace vexel::testing
