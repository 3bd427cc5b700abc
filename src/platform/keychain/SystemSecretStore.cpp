#include "platform/keychain/SystemSecretStore.h"

#include "foundation/DataHome.h"
#include "platform/keychain/KeyFileStore.h"
#include "platform/keychain/LibsecretStore.h"

#include <libsecret/secret.h>

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

namespace vexel::keychain {

bool secretServiceAnswers(std::chrono::milliseconds limit) {
    GCancellable* cancellable = g_cancellable_new();
    GError* error = nullptr;
    SecretService* service = nullptr;
    {
        // A service that is being started but never answers must not hold the
        // caller up: the probe is cancelled when the limit passes.
        std::jthread deadline([cancellable, limit](std::stop_token answered) {
            std::mutex mutex;
            std::condition_variable_any wakeUp;
            std::unique_lock lock(mutex);
            if (!wakeUp.wait_for(lock, answered, limit, [] { return false; })) {
                if (!answered.stop_requested()) {
                    g_cancellable_cancel(cancellable);
                }
            }
        });
        service = secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, cancellable, &error);
    }
    g_object_unref(cancellable);
    g_clear_error(&error);
    if (service == nullptr) {
        return false;
    }
    g_object_unref(service);
    return true;
}

std::shared_ptr<SecretStore> makeSystemSecretStore(const std::filesystem::path& keyFolder) {
    if (secretServiceAnswers()) {
        return std::make_shared<LibsecretStore>(keyFolder);
    }
    return std::make_shared<KeyFileStore>(keyFolder);
}

std::filesystem::path defaultKeyFolder() {
    return applicationDataFolder() / "keyring";
}

} // namespace vexel::keychain
