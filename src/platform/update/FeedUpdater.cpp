#include "platform/update/FeedUpdater.h"

#include "foundation/CancellationError.h"
#include "foundation/Json.h"
#include "platform/net/HttpResponseHandler.h"
#include "platform/net/HttpURL.h"
#include "platform/update/DottedVersion.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <stdexcept>
#include <utility>

namespace vexel::update {

namespace {

// Collects a successful response's body, refusing anything that is not one.
class FeedReader final : public net::HttpResponseHandler {
public:
    void onResponse(const net::HttpResponseHead& head) override {
        if (head.statusCode < 200 || head.statusCode > 299) {
            throw std::runtime_error("the feed answered with status " +
                                     std::to_string(head.statusCode));
        }
    }

    bool onBody(std::string_view bytes) override {
        if (bytes.size() > FeedUpdater::maximumFeedSize - body_.size()) {
            throw std::runtime_error("the feed is too large");
        }
        body_.append(bytes);
        return true;
    }

    const std::string& body() const { return body_; }

private:
    std::string body_;
};

const std::string* textMember(const Json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_string()) {
        return nullptr;
    }
    return found->get_ptr<const std::string*>();
}

} // namespace

FeedUpdater::FeedUpdater(std::optional<std::string> feedUrl, std::string currentVersion,
                         std::shared_ptr<net::HttpClient> http, Presenter presenter,
                         std::shared_ptr<Logger> logger, std::chrono::milliseconds deadline,
                         QThreadPool* worker, QObject* parent)
    : Updater(parent)
    , currentVersion_(std::move(currentVersion))
    , http_(std::move(http))
    , presenter_(std::move(presenter))
    , logger_(std::move(logger))
    , deadline_(deadline)
    , worker_(worker ? worker : QThreadPool::globalInstance()) {
    if (feedUrl && !net::isValidHttpURL(*feedUrl)) {
        logger_->error("[Update] The update feed is not an http or https address");
        feedUrl.reset();
    }
    feedUrl_ = std::move(feedUrl);
    connect(&watcher_, &QFutureWatcherBase::finished, this,
            [this] { finish(watcher_.future().result()); });
}

FeedUpdater::~FeedUpdater() {
    stop_.request_stop();
    watcher_.disconnect(this);
}

bool FeedUpdater::canCheckForUpdates() const {
    return feedUrl_.has_value() && !checking_;
}

void FeedUpdater::checkForUpdates() {
    if (!canCheckForUpdates()) {
        return;
    }
    checking_ = true;
    emit canCheckForUpdatesChanged(false);

    net::HttpRequest request;
    request.url = *feedUrl_;
    request.headers = {{"Accept", "application/json"}};
    request.timeout = timeout;
    request.deadline = deadline_;
    // Only values are captured: the fetch may outlive the updater.
    auto fetch = [http = http_, request = std::move(request), version = currentVersion_,
                  logger = logger_, stop = stop_.get_token()]() -> UpdateCheckResult {
        FeedReader reader;
        try {
            http->send(request, reader, stop);
        } catch (const CancellationError&) {
            return UpdateCheckFailed{};
        } catch (const std::exception& error) {
            logger->error(std::string("[Update] Could not read the update feed: ") + error.what());
            return UpdateCheckFailed{};
        }
        UpdateCheckResult result = evaluateFeed(reader.body(), version);
        if (std::holds_alternative<UpdateCheckFailed>(result)) {
            logger->error("[Update] The update feed is malformed");
        }
        return result;
    };
    watcher_.setFuture(QtConcurrent::run(worker_, std::move(fetch)));
}

UpdateCheckResult FeedUpdater::evaluateFeed(std::string_view body,
                                            std::string_view currentVersion) {
    const Json feed = Json::parse(body, nullptr, false);
    if (!feed.is_object()) {
        return UpdateCheckFailed{};
    }
    const std::string* version = textMember(feed, "version");
    const std::string* url = textMember(feed, "url");
    if (version == nullptr || url == nullptr || !net::isValidHttpURL(*url)) {
        return UpdateCheckFailed{};
    }
    const std::optional<DottedVersion> published = DottedVersion::parse(*version);
    const std::optional<DottedVersion> running = DottedVersion::parse(currentVersion);
    if (!published || !running) {
        return UpdateCheckFailed{};
    }
    if (*published > *running) {
        return UpdateAvailable{*version, *url};
    }
    return UpToDate{};
}

void FeedUpdater::finish(const UpdateCheckResult& result) {
    checking_ = false;
    emit canCheckForUpdatesChanged(canCheckForUpdates());
    if (presenter_) {
        presenter_(result);
    }
}

} // namespace vexel::update
