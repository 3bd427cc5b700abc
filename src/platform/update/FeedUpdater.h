#pragma once

#include "foundation/Logger.h"
#include "platform/net/HttpClient.h"
#include "platform/update/UpdateCheckResult.h"
#include "platform/update/Updater.h"

#include <QFutureWatcher>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

class QThreadPool;

namespace vexel::update {

// The updater of the application: a check fetches the feed, a JSON object
// {"version": "1.2.0", "url": "https://…"} naming the newest published version
// and the page to get it from, compares that version with the running one
// and hands the outcome to the presenter. The fetch runs off the GUI thread;
// while it runs no second check can start. Without a feed no check ever can.
class FeedUpdater final : public Updater {
    Q_OBJECT

public:
    // Shows the outcome of a check to the user; called on the GUI thread.
    using Presenter = std::function<void(const UpdateCheckResult&)>;

    // A feed larger than this is not a feed.
    static constexpr std::size_t maximumFeedSize = 64 * 1024;
    static constexpr std::chrono::seconds timeout{30};
    // How long a whole check may take: a feed that trickles in a few bytes at
    // a time never trips the idle timeout, and would keep the menu item
    // disabled for hours.
    static constexpr std::chrono::milliseconds defaultDeadline{30'000};

    // `feedUrl`: an http or https address, or none (another is logged and
    // counts as none). `currentVersion`: the running version, dotted.
    // `deadline`: the longest a check may take before it counts as failed.
    // `worker`: where the fetch runs (none: the global thread pool).
    FeedUpdater(std::optional<std::string> feedUrl, std::string currentVersion,
                std::shared_ptr<net::HttpClient> http, Presenter presenter,
                std::shared_ptr<Logger> logger,
                std::chrono::milliseconds deadline = defaultDeadline, QThreadPool* worker = nullptr,
                QObject* parent = nullptr);
    // Stops a fetch under way; its outcome is never presented.
    ~FeedUpdater() override;

    bool canCheckForUpdates() const override;
    void checkForUpdates() override;

    // What a feed body says against `currentVersion`; exposed for its tests.
    static UpdateCheckResult evaluateFeed(std::string_view body, std::string_view currentVersion);

private:
    void finish(const UpdateCheckResult& result);

    std::optional<std::string> feedUrl_;
    std::string currentVersion_;
    std::shared_ptr<net::HttpClient> http_;
    Presenter presenter_;
    std::shared_ptr<Logger> logger_;
    std::chrono::milliseconds deadline_;
    QThreadPool* worker_;
    std::stop_source stop_;
    QFutureWatcher<UpdateCheckResult> watcher_;
    bool checking_ = false;
};

} // namespace vexel::update
