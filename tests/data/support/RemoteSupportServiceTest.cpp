#include "data/support/RemoteSupportService.h"

#include "data/support/ProductionSupportService.h"
#include "data/support/RemoteSupportError.h"
#include "domain/usecases/SubmitBugReportUseCase.h"
#include "domain/usecases/SubmitFeatureRequestUseCase.h"
#include "platform/net/CurlHttpClient.h"
#include "support/LoopbackServer.h"
#include "support/RecordingLogger.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace vexel;
using test::LoopbackServer;
using test::ScriptedResponse;

namespace {

BugReport bugReport(std::optional<std::string> contactEmail) {
    return BugReport{Uuid::random(),
                     "Export hangs",
                     "Export a 2 h project",
                     BugReport::BugCategory::rendering,
                     "user: export\nassistant: exporting",
                     std::move(contactEmail),
                     std::chrono::system_clock::now()};
}

struct RemoteSupportServiceTest : ::testing::Test {
    LoopbackServer server;
    int tokensAsked = 0;
    std::shared_ptr<RemoteSupportService> remote = make(server.baseURL());
    std::shared_ptr<test::RecordingLogger> logger = std::make_shared<test::RecordingLogger>();
    ProductionSupportService production{remote, logger};

    std::shared_ptr<RemoteSupportService> make(std::string baseURL) {
        return std::make_shared<RemoteSupportService>(
            [this](std::stop_token) {
                ++tokensAsked;
                return std::string("secret-token");
            },
            std::move(baseURL), std::make_shared<net::CurlHttpClient>(), "1.4.2");
    }

    template <class Action> std::optional<RemoteSupportError> remoteError(Action&& action) {
        try {
            action();
        } catch (const RemoteSupportError& error) {
            return error;
        }
        return std::nullopt;
    }
};

} // namespace

TEST_F(RemoteSupportServiceTest, PostsEachReportAsOneTypedJsonBodyWithTheThreeHeaders) {
    server.enqueue(ScriptedResponse::plain(201, R"({"id": "fb_1"})"));
    server.enqueue(ScriptedResponse::plain(200));
    server.enqueue(ScriptedResponse::plain(204));
    SubmitBugReportUseCase(remote).execute(bugReport(std::nullopt));
    SubmitBugReportUseCase(remote).execute(bugReport("ada@example.com"));
    SubmitFeatureRequestUseCase(remote).execute(
        FeatureRequest{Uuid::random(), "Dark mode", "Editing at night", "…", {}});

    const std::vector<test::RecordedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    const test::RecordedRequest& first = requests[0];
    EXPECT_EQ(first.method, "POST");
    EXPECT_EQ(first.path, "/feedback");
    EXPECT_EQ(first.header("Authorization"), "Bearer secret-token");
    EXPECT_EQ(first.header("Content-Type"), "application/json");
    EXPECT_EQ(first.header("X-App-Version"), "1.4.2");
    EXPECT_EQ(Json::parse(first.body), Json::parse(R"({"type": "bug_report", "payload": {
                  "summary": "Export hangs", "steps_to_reproduce": "Export a 2 h project",
                  "category": "rendering",
                  "conversation_excerpt": "user: export\nassistant: exporting"}})"));
    EXPECT_EQ(first.body.find('\n'), std::string::npos); // compact
    const Json second = Json::parse(requests[1].body);
    EXPECT_EQ(second["payload"].size(), 5u);
    EXPECT_EQ(second["payload"]["contact_email"], "ada@example.com");
    EXPECT_EQ(Json::parse(requests[2].body),
              Json::parse(R"({"type": "feature_request", "payload": {"summary": "Dark mode",
                  "use_case": "Editing at night", "conversation_excerpt": "…"}})"));
}

TEST_F(RemoteSupportServiceTest, RefusalsAreHttpErrorsAndTheProductionWrapperOnlyLogsThem) {
    for (int status : {401, 404, 500}) {
        server.enqueue(ScriptedResponse::plain(status, R"({"error": "no"})"));
        EXPECT_EQ(remoteError([&] { remote->submitBugReport(bugReport(std::nullopt), {}); }),
                  RemoteSupportError::httpError(status));
        server.enqueue(ScriptedResponse::plain(status));
        EXPECT_NO_THROW(production.submitBugReport(bugReport(std::nullopt), {}));
    }
    EXPECT_EQ(server.requestCount(), 6u); // no retries
    EXPECT_EQ(logger->messages(),
              (std::vector<std::string>{"[Support] Remote submission failed: http-401",
                                        "[Support] Remote submission failed: http-404",
                                        "[Support] Remote submission failed: http-500"}));
}

TEST_F(RemoteSupportServiceTest, FailuresBeforeOrInsteadOfTheRequestAreNamedWithoutUserText) {
    // A base URL that makes no URL fails after the token was obtained.
    auto unreachable = make("not a url");
    EXPECT_EQ(remoteError([&] { unreachable->submitBugReport(bugReport(std::nullopt), {}); }),
              RemoteSupportError::invalidURL());
    EXPECT_EQ(tokensAsked, 1);
    ProductionSupportService(unreachable, logger).submitBugReport(bugReport(std::nullopt), {});

    // A failing token provider stops everything before a request.
    auto tokenless = std::make_shared<RemoteSupportService>(
        [](std::stop_token) -> std::string { throw std::runtime_error("signed out"); },
        server.baseURL(), std::make_shared<net::CurlHttpClient>());
    EXPECT_THROW(tokenless->submitFeatureRequest({}, {}), std::runtime_error);
    ProductionSupportService(tokenless, logger).submitFeatureRequest({}, {});

    // A cancelled transfer and a refused connection are transfer errors.
    std::stop_source cancelled;
    cancelled.request_stop();
    production.submitBugReport(bugReport(std::nullopt), cancelled.get_token());
    auto refused = make("http://127.0.0.1:1");
    ProductionSupportService(refused, logger).submitBugReport(bugReport(std::nullopt), {});

    EXPECT_EQ(server.requestCount(), 0u);
    const std::vector<std::string> logged = logger->messages();
    ASSERT_EQ(logged.size(), 4u);
    EXPECT_EQ(logged[0], "[Support] Remote submission failed: invalid-url");
    EXPECT_EQ(logged[1], "[Support] Remote submission failed: unknown");
    EXPECT_EQ(logged[2], "[Support] Remote submission failed: url-error(42)");
    EXPECT_EQ(logged[3], "[Support] Remote submission failed: url-error(7)");
}
