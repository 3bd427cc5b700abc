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

} // namespace

std::optional<std::string> LibsecretStore::find(const SecretQuery& query) const {
    checkQuery(query);
    GError* error = nullptr;
    Value value(secret_password_lookup_binary_sync(schema(), nullptr, &error, "service",
                                                   query.service.c_str(), "account",
                                                   query.account.c_str(), nullptr));
    if (error != nullptr) {
        failWith(error);
    }
    if (!value) {
        return std::nullopt;
    }
    gsize length = 0;
    const gchar* bytes = secret_value_get(value.get(), &length);
    return std::string(bytes, length);
}

SecretStore::AddResult LibsecretStore::add(const SecretQuery& query,
                                           std::string_view secret) const {
    // Storing replaces an item with the same attributes, so look first.
    if (find(query)) {
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
