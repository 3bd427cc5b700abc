#include "platform/keychain/LibsecretStore.h"

#include "foundation/UnicodeText.h"
#include "platform/keychain/FolderLock.h"
#include "platform/keychain/SecretStoreError.h"

#include <libsecret/secret.h>

#include <memory>

namespace vexel::keychain {

namespace {

// Items are found by two text attributes, as a generic password is.
const SecretSchema* schema() {
    static const SecretSchema made = [] {
        SecretSchema value{};
        value.name = "com.vexel.app.Secret";
        value.flags = SECRET_SCHEMA_NONE;
        value.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
        value.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return value;
    }();
    return &made;
}

// D-Bus carries attribute values as NUL-terminated UTF-8.
void checkAttribute(const std::string& value) {
    if (value.find('\0') != std::string::npos || !unicode::isValidUtf8(value)) {
        throw SecretStoreError("an item's service or account is not text the store can hold");
    }
}

void checkQuery(const SecretQuery& query) {
    checkAttribute(query.service);
    checkAttribute(query.account);
}

[[noreturn]] void failWith(GError* error) {
    std::string message = error != nullptr && error->message != nullptr
                              ? error->message
                              : "the Secret Service failed";
    g_clear_error(&error);
    throw SecretStoreError(message);
}

struct ValueDeleter {
    void operator()(SecretValue* value) const { secret_value_unref(value); }
};
using Value = std::unique_ptr<SecretValue, ValueDeleter>;

struct ItemsDeleter {
    void operator()(GList* items) const { g_list_free_full(items, g_object_unref); }
};
using Items = std::unique_ptr<GList, ItemsDeleter>;

// Every item of the query in every collection, locked ones included; none
// when there is no such item.
Items search(const SecretQuery& query, SecretSearchFlags flags) {
    checkQuery(query);
    GError* error = nullptr;
    Items items(secret_password_search_sync(
        schema(), static_cast<SecretSearchFlags>(flags | SECRET_SEARCH_ALL), nullptr, &error,
        "service", query.service.c_str(), "account", query.account.c_str(), nullptr));
    if (error != nullptr) {
        failWith(error);
    }
    return items;
}

} // namespace

std::optional<std::string> LibsecretStore::find(const SecretQuery& query) const {
    // A plain lookup answers "nothing" for an item of a locked keyring whose
    // unlocking was refused, which callers would take for "no such item".
    // Every item, locked or not, is searched for instead, and one found that
    // cannot be read is a failure.
    Items items = search(
        query, static_cast<SecretSearchFlags>(SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS));
    if (!items) {
        return std::nullopt;
    }
    GError* error = nullptr;
    Value value(secret_retrievable_retrieve_secret_sync(
        static_cast<SecretRetrievable*>(items.get()->data), nullptr, &error));
    if (error != nullptr) {
        failWith(error);
    }
    if (!value) {
        throw SecretStoreError("the item's keyring is locked");
    }
    gsize length = 0;
    const gchar* bytes = secret_value_get(value.get(), &length);
    return std::string(bytes, length);
}

SecretStore::AddResult LibsecretStore::add(const SecretQuery& query,
                                           std::string_view secret) const {
    // Storing replaces an item with the same attributes, and creating one
    // without replacing makes a second item beside it: so look first, at
    // locked items too, without asking for anything to be unlocked.
    if (search(query, SECRET_SEARCH_NONE)) {
        return AddResult::duplicate;
    }
    Value value(secret_value_new(secret.data(), static_cast<gssize>(secret.size()), "text/plain"));
    std::string label = query.service + " (" + query.account + ")";
    GError* error = nullptr;
    if (!secret_password_store_binary_sync(
            schema(), SECRET_COLLECTION_DEFAULT, label.c_str(), value.get(), nullptr, &error,
            "service", query.service.c_str(), "account", query.account.c_str(), nullptr)) {
        failWith(error);
    }
    return AddResult::added;
}

bool LibsecretStore::remove(const SecretQuery& query) const {
    checkQuery(query);
    GError* error = nullptr;
    gboolean removed =
        secret_password_clear_sync(schema(), nullptr, &error, "service", query.service.c_str(),
                                   "account", query.account.c_str(), nullptr);
    if (error != nullptr) {
        failWith(error);
    }
    return removed != FALSE;
}

std::unique_ptr<SecretStoreLock> LibsecretStore::lockExclusive() const {
    return std::make_unique<FolderLock>(lockFolder_);
}

} // namespace vexel::keychain
