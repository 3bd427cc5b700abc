#include "platform/update/FeedUpdater.h"

#include "platform/net/CurlHttpClient.h"
#include "platform/update/DottedVersion.h"
#include "support/LoopbackServer.h"
#include "support/RecordingLogger.h"
#include "support/RunEventsUntil.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <chrono>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::update;
using test::LoopbackServer;
using test::RecordingLogger;
using test::ScriptedResponse;
using vexel::testing::runEventsUntil;

namespace {

std::string feed(const std::string& version, const std::string& url = "https://vexel.example/get") {
    return R"({"version": ")" + version + R"(", "url": ")" + url + R"("})";
}

// A feed updater over the application's HTTP client, reading the loopback
// server's feed unless told otherwise, recording what it presents and every
// value of its flag.
struct UpdaterHarness {
    explicit UpdaterHarness(std::chrono::milliseconds deadline = FeedUpdater::defaultDeadline) {
        make(server.baseURL() + "/appcast.json", deadline);
    }
    explicit UpdaterHarness(std::optional<std::string> feedUrl) { make(std::move(feedUrl)); }

    void make(std::optional<std::string> feedUrl,
              std::chrono::milliseconds deadline = FeedUpdater::defaultDeadline) {
        updater = std::make_unique<FeedUpdater>(
            std::move(feedUrl), "0.1.0", std::make_shared<net::CurlHttpClient>(),
            [this](const UpdateCheckResult& result) { presented.push_back(result); }, logger,
            deadline);
        QObject::connect(updater.get(), &Updater::canCheckForUpdatesChanged,
                         [this](bool canCheck) { flags.push_back(canCheck); });
    }

    // Checks and waits for the outcome.
    UpdateCheckResult checkOnce() {
        const std::size_t before = presented.size();
        updater->checkForUpdates();
        EXPECT_TRUE(runEventsUntil([&] { return presented.size() > before; }));
        return presented.empty() ? UpdateCheckResult(UpToDate{}) : presented.back();
    }

    LoopbackServer server;
    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    std::vector<UpdateCheckResult> presented;
    std::vector<bool> flags;
    std::unique_ptr<FeedUpdater> updater;
};

// Held by the server until the test opens the gate "reply".
ScriptedResponse heldReply(std::string body) {
    ScriptedResponse reply = ScriptedResponse::eventStream(200);
    reply.contentType = "application/json";
    reply.waitForGate("reply").write(std::move(body));
    return reply;
}

TEST(FeedUpdaterTest, AFeedIsReadAsTheNewestVersionAndItsHttpPage) {
    struct Case {
        std::string body;
        std::string current;
        UpdateCheckResult expected;
    };
    const std::vector<Case> cases = {
        {feed("9.0.0"), "0.1.0", UpdateAvailable{"9.0.0", "https://vexel.example/get"}},
        {feed("0.1.10"), "0.1.9", UpdateAvailable{"0.1.10", "https://vexel.example/get"}},
        {feed("0.2", "http://vexel.example/a b"), "0.1.0", UpdateCheckFailed{}},
        {feed("0.1.0"), "0.1.0", UpToDate{}},
        {feed("0.1"), "0.1.0", UpToDate{}},
        {feed("0.0.9"), "0.1.0", UpToDate{}},
        {feed("1.0.0"), "not a version", UpdateCheckFailed{}},
        // What the feed says is untrusted: only dotted numbers, only web pages.
        {feed("9.0.0", "file:///etc/passwd"), "0.1.0", UpdateCheckFailed{}},
        {feed("9.0.0", "javascript:alert(1)"), "0.1.0", UpdateCheckFailed{}},
        {feed("9.0.0-beta"), "0.1.0", UpdateCheckFailed{}},
        {feed("v9"), "0.1.0", UpdateCheckFailed{}},
        {feed("1..2"), "0.1.0", UpdateCheckFailed{}},
        {feed("1.2."), "0.1.0", UpdateCheckFailed{}},
        {feed(""), "0.1.0", UpdateCheckFailed{}},
        {feed("1234567890"), "0.1.0", UpdateCheckFailed{}},
        {feed("1.2.3.4.5.6.7.8.9"), "0.1.0", UpdateCheckFailed{}},
        {R"({"version": 9, "url": "https://vexel.example"})", "0.1.0", UpdateCheckFailed{}},
        {R"({"version": "9.0.0"})", "0.1.0", UpdateCheckFailed{}},
        {R"(["9.0.0", "https://vexel.example"])", "0.1.0", UpdateCheckFailed{}},
        {"9.0.0", "0.1.0", UpdateCheckFailed{}},
        {"{", "0.1.0", UpdateCheckFailed{}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FeedUpdater::evaluateFeed(c.body, c.current), c.expected)
            << c.body << " against " << c.current;
    }
    EXPECT_GT(*DottedVersion::parse("1.10"), *DottedVersion::parse("1.9"));
    EXPECT_EQ(*DottedVersion::parse("2"), *DottedVersion::parse("2.0.0"));
}

TEST(FeedUpdaterTest, WithoutAUsableFeedNoCheckCanStart) {
    for (const std::optional<std::string>& feedUrl :
         {std::optional<std::string>(), std::optional<std::string>("ftp://vexel.example/feed"),
          std::optional<std::string>("feed.json")}) {
        UpdaterHarness harness(feedUrl);
        EXPECT_FALSE(harness.updater->canCheckForUpdates());
        harness.updater->checkForUpdates();
        QCoreApplication::processEvents();
        EXPECT_TRUE(harness.presented.empty());
        EXPECT_TRUE(harness.flags.empty());
        EXPECT_EQ(harness.server.requestCount(), 0u);
        EXPECT_EQ(harness.logger->countStartingWith("[Update] The update feed is not"),
                  feedUrl ? 1u : 0u);
    }
}

TEST(FeedUpdaterTest, ACheckFetchesTheFeedOffTheGuiThreadAndCannotStartTwice) {
    UpdaterHarness harness;
    FeedUpdater& updater = *harness.updater;
    ASSERT_TRUE(updater.canCheckForUpdates());

    harness.server.enqueue(heldReply(feed("9.0.0")));
    updater.checkForUpdates();
    EXPECT_FALSE(updater.canCheckForUpdates());
    EXPECT_EQ(harness.flags, std::vector<bool>{false});
    ASSERT_TRUE(harness.server.waitForRequests(1, std::chrono::seconds(5)));
    // The reply is held: the event loop runs on, and a second check is refused.
    updater.checkForUpdates();
    QCoreApplication::processEvents();
    EXPECT_TRUE(harness.presented.empty());
    harness.server.openGate("reply");
    ASSERT_TRUE(runEventsUntil([&] { return !harness.presented.empty(); }));
    ASSERT_EQ(harness.presented.size(), 1u);
    EXPECT_EQ(harness.presented[0],
              UpdateCheckResult(UpdateAvailable{"9.0.0", "https://vexel.example/get"}));
    EXPECT_EQ(harness.flags, (std::vector<bool>{false, true}));
    EXPECT_TRUE(updater.canCheckForUpdates());
    const std::vector<test::RecordedRequest> requests = harness.server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/appcast.json");
}

TEST(FeedUpdaterTest, AFeedThatCannotBeReadFailsAndTheNextCheckMayStart) {
    UpdaterHarness harness;
    harness.server.enqueue(ScriptedResponse::plain(500, feed("9.0.0")));
    EXPECT_EQ(harness.checkOnce(), UpdateCheckResult(UpdateCheckFailed{}));
    harness.server.enqueue(
        ScriptedResponse::plain(200, std::string(FeedUpdater::maximumFeedSize + 1, ' ')));
    EXPECT_EQ(harness.checkOnce(), UpdateCheckResult(UpdateCheckFailed{}));
    harness.server.enqueue(ScriptedResponse::plain(200, "<html>"));
    EXPECT_EQ(harness.checkOnce(), UpdateCheckResult(UpdateCheckFailed{}));
    harness.server.enqueue(ScriptedResponse::plain(200, feed("0.1.0")));
    EXPECT_EQ(harness.checkOnce(), UpdateCheckResult(UpToDate{}));
    EXPECT_EQ(harness.flags,
              (std::vector<bool>{false, true, false, true, false, true, false, true}));
    EXPECT_EQ(harness.logger->countStartingWith("[Update] Could not read the update feed"), 2u);
    EXPECT_EQ(harness.logger->countStartingWith("[Update] The update feed is malformed"), 1u);
}

TEST(FeedUpdaterTest, AFeedThatTricklesInFailsAtTheDeadline) {
    // A whole, valid feed, one byte every 40 ms: never silent long enough for
    // the idle timeout, and complete only after several seconds.
    const std::string body = feed("9.0.0");
    ScriptedResponse trickle = ScriptedResponse::eventStream(200);
    trickle.contentType = "application/json";
    for (const char byte : body) {
        trickle.write(std::string(1, byte)).pause(std::chrono::milliseconds(40));
    }
    UpdaterHarness harness(std::chrono::milliseconds(400));
    harness.server.enqueue(std::move(trickle));

    // Read to its end, the feed would offer 9.0.0.
    EXPECT_EQ(harness.checkOnce(), UpdateCheckResult(UpdateCheckFailed{}));
    EXPECT_EQ(harness.logger->countStartingWith("[Update] Could not read the update feed"), 1u);
    EXPECT_TRUE(harness.updater->canCheckForUpdates());
}

TEST(FeedUpdaterTest, AnUpdaterGoneDuringAFetchPresentsNothing) {
    UpdaterHarness harness;
    harness.server.enqueue(heldReply(feed("9.0.0")));
    harness.updater->checkForUpdates();
    ASSERT_TRUE(harness.server.waitForRequests(1, std::chrono::seconds(5)));
    harness.updater.reset();
    harness.server.openGate("reply");
    // The fetch has ended and anything it posted has been handled.
    ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(10000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(harness.presented.empty());
}

} // namespace
