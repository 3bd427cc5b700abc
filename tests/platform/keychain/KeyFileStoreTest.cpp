#include "platform/keychain/KeyFileStore.h"
#include "platform/keychain/SecretStoreError.h"
#include "platform/keychain/SystemSecretStore.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <thread>

using namespace vexel::keychain;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;

namespace {

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

} // namespace

TEST(KeyFileStoreTest, AddsOnceKeepsItemsPrivateAndRemovesQuietly) {
    TemporaryFolder root;
    const KeyFileStore store(root / "data" / "keyring");
    const SecretQuery query{"com.vexel.app.autosave-key", "aes-key"};
    EXPECT_EQ(store.find(query), std::nullopt);
    EXPECT_FALSE(store.remove(query));

    const std::string secret("\x00\x01 binary\xff", 11);
    EXPECT_EQ(store.add(query, secret), SecretStore::AddResult::added);
    EXPECT_EQ(store.add(query, "another"), SecretStore::AddResult::duplicate);
    EXPECT_EQ(store.find(query), secret);
    EXPECT_EQ(store.itemPath(query), root / "data/keyring/com.vexel.app.autosave-key@aes-key");
    EXPECT_EQ(modeOf(root / "data/keyring"), 0700u);
    EXPECT_EQ(modeOf(store.itemPath(query)), 0600u);

    EXPECT_TRUE(store.remove(query));
    EXPECT_FALSE(store.remove(query));
    EXPECT_EQ(store.find(query), std::nullopt);
}

TEST(KeyFileStoreTest, AnyNamesMapToDistinctFilesInsideTheFolder) {
    TemporaryFolder root;
    const KeyFileStore store(root / "keyring");
    const SecretQuery queries[] = {
        {"a@b", "c"},    {"a", "b@c"},    {"..", ".."},
        {"../x", "y/z"}, {".hidden", ""}, {"", ""},
        {"%41", "A"},    {"A", "A"},      {std::string("n\0l", 3), "\n"}};
    int n = 0;
    for (const SecretQuery& query : queries) {
        const std::filesystem::path path = store.itemPath(query);
        EXPECT_EQ(path.parent_path(), store.folder()) << path;
        EXPECT_NE(path.filename().string().front(), '.') << path;
        EXPECT_EQ(store.add(query, std::to_string(n++)), SecretStore::AddResult::added) << path;
    }
    n = 0;
    for (const SecretQuery& query : queries) {
        EXPECT_EQ(store.find(query), std::to_string(n++));
    }
    EXPECT_THROW(store.itemPath({std::string(200, 'x'), std::string(200, 'y')}), SecretStoreError);
}

TEST(KeyFileStoreTest, TheLockHoldsOtherThreadsOff) {
    TemporaryFolder root;
    const KeyFileStore store(root / "keyring");
    std::atomic<bool> entered = false;
    auto lock = store.lockExclusive();
    std::thread other([&] {
        auto second = store.lockExclusive();
        entered = true;
    });
    // The other thread cannot enter while the lock is held; nothing it could
    // do in that time is waited for, only that it has not entered yet.
    for (int i = 0; i < 1000; ++i) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(entered);
    lock.reset();
    other.join();
    EXPECT_TRUE(entered);
}

TEST(SystemSecretStoreTest, WithoutASecretServiceKeysGoToFiles) {
    TemporaryFolder root;
    // A session bus address where nothing listens: the probe must give up at
    // once, and the real desktop keyring is never asked.
    ScopedEnvironment bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (root / "no-bus").string());
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(secretServiceAnswers());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));

    auto store = makeSystemSecretStore(root / "keyring");
    ASSERT_NE(dynamic_cast<KeyFileStore*>(store.get()), nullptr);
    EXPECT_EQ(store->add({"s", "a"}, "x"), SecretStore::AddResult::added);
    EXPECT_TRUE(std::filesystem::exists(root / "keyring" / "s@a"));
}
