#pragma once

#include "domain/protocols/SupportService.h"
#include "foundation/Json.h"
#include "platform/net/HttpClient.h"
#include "platform/net/HttpRequest.h"

#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>

namespace vexel {

// Sends each report as one POST to "<baseURL>/feedback": a JSON body
// {"type": "bug_report" | "feature_request", "payload": {…}} with a bearer
// token and the application's version. One attempt, no token renewal: any
// status outside 200 to 299 is RemoteSupportError::httpError, and the token
// provider's and the transport's failures pass through unchanged.
class RemoteSupportService final : public SupportService {
public:
    // Hands out the bearer token; may throw.
    using TokenProvider = std::function<std::string(std::stop_token)>;

    // The version sent when the application has none to give.
    static constexpr std::string_view unknownAppVersion = "0.0.0";

    // `baseURL` without a trailing slash.
    RemoteSupportService(TokenProvider tokenProvider, std::string baseURL,
                         std::shared_ptr<net::HttpClient> session,
                         std::string appVersion = std::string(unknownAppVersion));

    void submitBugReport(const BugReport& report, std::stop_token stop) override;
    void submitFeatureRequest(const FeatureRequest& request, std::stop_token stop) override;

    // The wire payloads: snake_case keys, all strings; "contact_email" only
    // when there is an address. Ids and dates are not sent.
    static Json bugReportPayload(const BugReport& report);
    static Json featureRequestPayload(const FeatureRequest& request);

    const std::string& baseURL() const { return baseURL_; }
    const std::string& appVersion() const { return appVersion_; }

private:
    void submit(std::string_view type, Json payload, const std::stop_token& stop) const;

    TokenProvider tokenProvider_;
    std::string baseURL_;
    std::shared_ptr<net::HttpClient> session_;
    std::string appVersion_;
};

} // namespace vexel
