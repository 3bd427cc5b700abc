#include "infrastructure/security/KeychainService.h"
#include "infrastructure/security/KeychainError.h"
#include "support/InMemorySecretStore.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::InMemorySecretStore;

TEST(KeychainServiceTest, KeepsOneTextValuePerServiceAndAccount) {
    auto store = std::make_shared<InMemorySecretStore>();
    const KeychainService token("com.vexel.app.token", "user", store);
    const KeychainService other("com.vexel.app.token", "other", store);
    EXPECT_EQ(token.read(), std::nullopt);
    EXPECT_NO_THROW(token.remove());

    token.save("first");
    token.save("second – ünïcode");
    other.save("unrelated");
    EXPECT_EQ(token.read(), "second – ünïcode");
    EXPECT_EQ(store->size(), 2u);
    token.remove();
    EXPECT_EQ(token.read(), std::nullopt);
    EXPECT_EQ(other.read(), "unrelated");
    EXPECT_EQ(token.searchQuery(), (keychain::SecretQuery{"com.vexel.app.token", "user"}));
}

TEST(KeychainServiceTest, ReportsTheStoresFailuresAndRefusesTextThatIsNotUtf8) {
    auto store = std::make_shared<InMemorySecretStore>();
    const KeychainService token("service", "account", store);
    try {
        token.save("caf\xe9");
        FAIL();
    } catch (const KeychainError& error) {
        EXPECT_EQ(error.kind(), KeychainError::Kind::encodingFailed);
    }
    store->failAdds = true;
    try {
        token.save("value");
        FAIL();
    } catch (const KeychainError& error) {
        EXPECT_EQ(error.kind(), KeychainError::Kind::unexpectedStatus);
        EXPECT_EQ(error.status(), "the store refuses to add");
        EXPECT_STREQ(error.what(), "unexpectedStatus(\"the store refuses to add\")");
    }
    store->failAdds = false;
    store->put(token.searchQuery(), "not \xff text");
    EXPECT_EQ(token.read(), std::nullopt);
    store->put(token.searchQuery(), "text");
    store->failFinds = true;
    EXPECT_EQ(token.read(), std::nullopt);
}
