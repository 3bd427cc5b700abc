#pragma once

#include "platform/keychain/SecretStore.h"

#include <chrono>
#include <filesystem>
#include <memory>

namespace vexel::keychain {

// Whether a Secret Service answers on the session bus within `limit`. Without
// a session bus, or with one where no service provides the secrets API, the
// answer comes within milliseconds.
bool secretServiceAnswers(std::chrono::milliseconds limit = std::chrono::seconds(3));

// The desktop's Secret Service when one answers, else key files in
// `keyFolder`; either way the read-check-store lock lives in `keyFolder`.
// The choice is made once, here.
std::shared_ptr<SecretStore> makeSystemSecretStore(const std::filesystem::path& keyFolder);

// "keyring" in the application's data folder.
std::filesystem::path defaultKeyFolder();

} // namespace vexel::keychain
