#include "data/support/RemoteSupportService.h"

#include "data/support/RemoteSupportError.h"
#include "platform/net/HttpURL.h"

#include <chrono>
#include <optional>
#include <stdexcept>
#include <utility>

namespace vexel {

namespace {

constexpr std::string_view feedbackPath = "/feedback";

bool canBeHeaderValue(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// Keeps the status and lets the body go by: the answer's content is not ours
// to read.
class StatusOnly final : public net::HttpResponseHandler {
public:
    void onResponse(const net::HttpResponseHead& head) override { status = head.statusCode; }
    bool onBody(std::string_view) override { return true; }

    std::optional<int> status;
};

} // namespace

RemoteSupportService::RemoteSupportService(TokenProvider tokenProvider, std::string baseURL,
                                           std::shared_ptr<net::HttpClient> session,
                                           std::string appVersion)
    : tokenProvider_(std::move(tokenProvider))
    , baseURL_(std::move(baseURL))
    , session_(std::move(session))
    , appVersion_(std::move(appVersion)) {}

void RemoteSupportService::submitBugReport(const BugReport& report, std::stop_token stop) {
    submit("bug_report", bugReportPayload(report), stop);
}

void RemoteSupportService::submitFeatureRequest(const FeatureRequest& request,
                                                std::stop_token stop) {
    submit("feature_request", featureRequestPayload(request), stop);
}

Json RemoteSupportService::bugReportPayload(const BugReport& report) {
    Json payload = {{"summary", report.summary},
                    {"steps_to_reproduce", report.stepsToReproduce},
                    {"category", std::string(rawValue(report.category))},
                    {"conversation_excerpt", report.conversationExcerpt}};
    if (report.contactEmail) {
        payload["contact_email"] = *report.contactEmail;
    }
    return payload;
}

Json RemoteSupportService::featureRequestPayload(const FeatureRequest& request) {
    return {{"summary", request.summary},
            {"use_case", request.useCase},
            {"conversation_excerpt", request.conversationExcerpt}};
}

void RemoteSupportService::submit(std::string_view type, Json payload,
                                  const std::stop_token& stop) const {
    const std::string token = tokenProvider_(stop);
    std::string url = baseURL_ + std::string(feedbackPath);
    if (!net::isValidHttpURL(url)) {
        throw RemoteSupportError::invalidURL();
    }
    // A header cannot carry a line break; sending one would forge headers.
    if (!canBeHeaderValue(token) || !canBeHeaderValue(appVersion_)) {
        throw std::invalid_argument("The token or the version cannot be sent in a header");
    }
    net::HttpRequest request;
    request.method = "POST";
    request.url = std::move(url);
    request.headers = {{"Authorization", "Bearer " + token},
                       {"Content-Type", "application/json"},
                       {"X-App-Version", appVersion_}};
    request.timeout = std::chrono::seconds(60);
    const Json body = {{"type", std::string(type)}, {"payload", std::move(payload)}};
    request.body = body.dump();

    StatusOnly answer;
    session_->send(request, answer, stop);
    if (!answer.status) {
        throw RemoteSupportError::invalidResponse();
    }
    if (*answer.status < 200 || *answer.status > 299) {
        throw RemoteSupportError::httpError(*answer.status);
    }
}

} // namespace vexel
