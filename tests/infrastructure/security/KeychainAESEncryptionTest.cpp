#include "infrastructure/security/KeychainAESEncryption.h"
#include "foundation/Base64.h"
#include "infrastructure/security/EncryptionError.h"
#include "platform/crypto/AesGcm.h"
#include "platform/crypto/CryptoError.h"
#include "platform/keychain/FolderLock.h"
#include "platform/keychain/KeyFileStore.h"
#include "support/FileContents.h"
#include "support/InMemorySecretStore.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>

using namespace vexel;
using vexel::testing::InMemorySecretStore;
using vexel::testing::TemporaryFolder;

namespace {

const keychain::SecretQuery kQuery{"com.vexel.app.autosave-key", "aes-key"};

KeychainAESEncryption encryptionOver(std::shared_ptr<const keychain::SecretStore> store) {
    return KeychainAESEncryption(kQuery.service, kQuery.account, std::move(store));
}

EncryptionError::Kind encryptionFailure(const KeychainAESEncryption& encryption) {
    try {
        encryption.encrypt("data");
    } catch (const EncryptionError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "encrypted";
    return EncryptionError::Kind::keychainError;
}

} // namespace

TEST(KeychainAESEncryptionTest, MakesTheKeyOnceAndSealsUnderItWithAFreshNonce) {
    auto store = std::make_shared<InMemorySecretStore>();
    const KeychainAESEncryption encryption = encryptionOver(store);
    const std::string a = encryption.encrypt("the same bytes");
    ASSERT_TRUE(store->item(kQuery));
    const std::string stored = *store->item(kQuery);
    const std::string b = encryption.encrypt("the same bytes");
    EXPECT_EQ(store->item(kQuery), stored) << "the key was made again";
    EXPECT_EQ(store->addCount, 1);
    EXPECT_EQ(base64::decode(stored)->size(), 32u);

    EXPECT_EQ(a.size(), 14u + 28u);
    EXPECT_NE(a, b);
    EXPECT_EQ(encryption.decrypt(a), "the same bytes");
    EXPECT_EQ(crypto::openAesGcm(*base64::decode(stored), b), "the same bytes");

    std::string flipped = a;
    flipped.back() ^= 1;
    EXPECT_THROW(encryption.decrypt(flipped), crypto::CryptoError);
    EXPECT_THROW(encryption.decrypt(a.substr(0, 27)), crypto::CryptoError);
}

TEST(KeychainAESEncryptionTest, UsesStoredKeysOfEveryAesSizeAndNeverReplacesABadOne) {
    for (std::size_t size : {16u, 24u, 32u}) {
        auto store = std::make_shared<InMemorySecretStore>();
        const std::string key = crypto::randomBytes(size);
        store->put(kQuery, base64::encode(key));
        EXPECT_EQ(crypto::openAesGcm(key, encryptionOver(store).encrypt("x")), "x") << size;
    }
    for (const std::string& bad :
         {base64::encode(std::string(20, 'k')), base64::encode(std::string(33, 'k')),
          std::string("not base64!"), std::string()}) {
        auto store = std::make_shared<InMemorySecretStore>();
        store->put(kQuery, bad);
        EXPECT_EQ(encryptionFailure(encryptionOver(store)), EncryptionError::Kind::invalidKey);
        EXPECT_THROW(encryptionOver(store).decrypt(std::string(40, '\0')), EncryptionError);
        EXPECT_EQ(store->item(kQuery), bad);
        EXPECT_EQ(store->addCount, 0);
    }
}

TEST(KeychainAESEncryptionTest, AKeyStoredFirstByAnotherWriterWins) {
    auto store = std::make_shared<InMemorySecretStore>();
    const std::string theirs = crypto::randomBytes(32);
    // Another program that does not take our lock stores its key just before ours.
    store->beforeAdd = [&] {
        store->beforeAdd = nullptr;
        store->put(kQuery, base64::encode(theirs));
    };
    const std::string sealed = encryptionOver(store).encrypt("data");
    EXPECT_EQ(crypto::openAesGcm(theirs, sealed), "data");

    auto refusing = std::make_shared<InMemorySecretStore>();
    refusing->failAdds = true;
    EXPECT_EQ(encryptionFailure(encryptionOver(refusing)), EncryptionError::Kind::keychainError);

    // A duplicate that then cannot be read.
    auto vanishing = std::make_shared<InMemorySecretStore>();
    vanishing->beforeAdd = [&] {
        vanishing->put(kQuery, "x");
        vanishing->failFinds = true;
    };
    EXPECT_EQ(encryptionFailure(encryptionOver(vanishing)), EncryptionError::Kind::keychainError);
}

TEST(KeychainAESEncryptionTest, AStoreThatCannotBeReadGetsNoNewKey) {
    // The store holding the key, or an empty one, stops answering for a while
    // (a locked keyring, a service gone for this start): no key is made, in
    // either direction, and the store keeps what it held.
    for (bool holdsKey : {false, true}) {
        auto store = std::make_shared<InMemorySecretStore>();
        const std::string key = crypto::randomBytes(32);
        if (holdsKey) {
            store->put(kQuery, base64::encode(key));
        }
        const std::string sealed = crypto::sealAesGcm(key, "work");
        store->failFinds = true;
        EXPECT_EQ(encryptionFailure(encryptionOver(store)), EncryptionError::Kind::keychainError);
        EXPECT_THROW(encryptionOver(store).decrypt(sealed), EncryptionError);
        EXPECT_EQ(store->addCount, 0) << holdsKey;
        store->failFinds = false;
        EXPECT_EQ(store->size(), holdsKey ? 1u : 0u);
        if (holdsKey) {
            EXPECT_EQ(encryptionOver(store).decrypt(sealed), "work");
        }
    }

    // The key file store, whose key file cannot be read: a folder where the
    // file belongs, a link that loops. The store's folder stays byte for byte.
    TemporaryFolder root;
    auto files = std::make_shared<keychain::KeyFileStore>(root / "keyring");
    for (const auto& makeUnreadable : std::vector<std::function<void()>>{
             [&] { std::filesystem::create_directory(files->itemPath(kQuery)); },
             [&] {
                 std::filesystem::create_symlink(files->itemPath(kQuery).filename(),
                                                 files->itemPath(kQuery));
             }}) {
        std::filesystem::remove_all(root / "keyring");
        keychain::ensureKeyFolder(root / "keyring");
        makeUnreadable();
        const auto before = test::treeSnapshot(root.path());
        EXPECT_EQ(encryptionFailure(encryptionOver(files)), EncryptionError::Kind::keychainError);
        EXPECT_THROW(encryptionOver(files).decrypt(std::string(64, 'x')), EncryptionError);
        EXPECT_EQ(test::treeSnapshot(root.path()), before);
    }
}

TEST(KeychainAESEncryptionTest, ProcessesAskingForTheFirstKeyAtOnceEndWithOne) {
    constexpr int kRounds = 8;
    constexpr int kProcesses = 4;
    for (int round = 0; round < kRounds; ++round) {
        TemporaryFolder root;
        auto store = std::make_shared<keychain::KeyFileStore>(root / "keyring");
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < kProcesses; ++i) {
            pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::close(start[1]);
                char go = 0;
                (void)!::read(start[0], &go, 1); // returns when the parent closes its end
                try {
                    std::ofstream(root / std::to_string(i), std::ios::binary)
                        << encryptionOver(store).encrypt("from " + std::to_string(i));
                    ::_exit(0);
                } catch (...) {
                    ::_exit(1);
                }
            }
            children.push_back(child);
        }
        ::close(start[0]);
        ::close(start[1]);
        for (pid_t child : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const KeychainAESEncryption encryption = encryptionOver(store);
        for (int i = 0; i < kProcesses; ++i) {
            std::ifstream file(root / std::to_string(i), std::ios::binary);
            const std::string sealed{std::istreambuf_iterator<char>(file), {}};
            EXPECT_EQ(encryption.decrypt(sealed), "from " + std::to_string(i)) << round;
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root / "keyring"), {}), 1);
    }
}
