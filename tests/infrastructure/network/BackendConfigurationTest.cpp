#include "infrastructure/network/BackendConfiguration.h"
#include "infrastructure/network/BackendAPIClientFactory.h"
#include "infrastructure/network/ConfiguredAccessTokenProvider.h"

#include "support/FakeHttpClient.h"
#include "support/RecordingSleeper.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <map>

using namespace vexel;
using namespace std::chrono_literals;

namespace {

EnvironmentLookup environmentOf(std::map<std::string, std::string> variables) {
    return
        [variables = std::move(variables)](const std::string& name) -> std::optional<std::string> {
            const auto found = variables.find(name);
            if (found == variables.end()) {
                return std::nullopt;
            }
            return found->second;
        };
}

} // namespace

TEST(BackendConfiguration, ReadsTheBackendAndTokenFromTheEnvironment) {
    EXPECT_EQ(readBackendConfiguration(environmentOf(
                  {{"VEXEL_BACKEND_URL", " https://b.test \n"}, {"VEXEL_ACCESS_TOKEN", "tok\n"}})),
              (BackendConfiguration{"https://b.test", "tok"}));
    EXPECT_EQ(readBackendConfiguration(environmentOf({})), BackendConfiguration{});
    EXPECT_EQ(readBackendConfiguration(
                  environmentOf({{"VEXEL_BACKEND_URL", ""}, {"VEXEL_ACCESS_TOKEN", "  "}})),
              BackendConfiguration{});
    // A token no header could carry counts as none.
    EXPECT_EQ(readBackendConfiguration(environmentOf({{"VEXEL_ACCESS_TOKEN", "a\r\nX-Evil: 1"}}))
                  .accessToken,
              std::nullopt);
}

TEST(BackendConfiguration, ConfiguredTokenIsReadAgainOnEveryCall) {
    int reads = 0;
    ConfiguredAccessTokenProvider provider([&reads] {
        ++reads;
        return BackendConfiguration{std::nullopt, "token-" + std::to_string(reads)};
    });
    EXPECT_EQ(provider.accessToken({}), "token-1");
    EXPECT_EQ(provider.renewAccessToken({}), "token-2");

    ConfiguredAccessTokenProvider none([] { return BackendConfiguration{}; });
    EXPECT_THROW(none.accessToken({}), APIClientError);
    EXPECT_THROW(none.renewAccessToken({}), APIClientError);
}

TEST(BackendConfiguration, UnconfiguredClientFailsClearlyWithoutSending) {
    auto http = std::make_shared<test::FakeHttpClient>();
    auto sleeper = std::make_shared<test::RecordingSleeper>();

    const BackendConfiguration noURL{std::nullopt, "tok"};
    auto withoutURL = makeBackendAPIClient(
        http, std::make_shared<ConfiguredAccessTokenProvider>([&] { return noURL; }), noURL,
        sleeper);
    EXPECT_EQ(withoutURL.maxTokens(), 2048);
    EXPECT_EQ(withoutURL.timeoutInterval(), 60.0);
    EXPECT_EQ(withoutURL.retryBaseDelay(), 1.0);
    EXPECT_EQ(withoutURL.model(), std::nullopt);
    try {
        withoutURL.sendToolUseMessage("s", {}, {}, {});
        FAIL() << "sent without a backend";
    } catch (const APIClientError& error) {
        EXPECT_EQ(error, APIClientError::invalidURL("/chat/messages"));
    }

    const BackendConfiguration noToken{"https://b.test", std::nullopt};
    auto withoutToken = makeBackendAPIClient(
        http, std::make_shared<ConfiguredAccessTokenProvider>([&] { return noToken; }), noToken,
        sleeper);
    EXPECT_THROW(withoutToken.sendToolUseMessage("s", {}, {}, {}), APIClientError);
    auto stream = withoutToken.streamToolUseMessage("s", {}, {});
    test::Watchdog watchdog(5s);
    try {
        stream.next(watchdog.token());
        FAIL() << "streamed without a token";
    } catch (const APIClientError& error) {
        EXPECT_EQ(error, APIClientError::unauthorized());
    }
    EXPECT_TRUE(http->requests().empty());
}
