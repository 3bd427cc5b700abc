#include "data/support/ProductionSupportService.h"

#include "data/support/RemoteSupportError.h"
#include "foundation/CancellationError.h"
#include "foundation/NumberText.h"
#include "platform/net/HttpTransportError.h"

#include <utility>

namespace vexel {

namespace {

// The transport's code for a transfer its caller aborted (libcurl's
// CURLE_ABORTED_BY_CALLBACK): a cancelled submission reads as that transfer
// error, as any other transfer failure reads as its own code.
constexpr int abortedTransferCode = 42;

std::string transferErrorCode(int code) {
    return "url-error(" + formatInteger(code) + ")";
}

} // namespace

ProductionSupportService::ProductionSupportService(std::shared_ptr<SupportService> remote,
                                                   std::shared_ptr<Logger> logger)
    : remote_(std::move(remote))
    , logger_(std::move(logger)) {}

void ProductionSupportService::submitBugReport(const BugReport& report, std::stop_token stop) {
    quietly([&] { remote_->submitBugReport(report, stop); });
}

void ProductionSupportService::submitFeatureRequest(const FeatureRequest& request,
                                                    std::stop_token stop) {
    quietly([&] { remote_->submitFeatureRequest(request, stop); });
}

template <class Submit> void ProductionSupportService::quietly(Submit&& submit) {
    try {
        submit();
    } catch (...) {
        logger_->error("[Support] Remote submission failed: " +
                       sanitized(std::current_exception()));
    }
}

std::string ProductionSupportService::sanitized(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const RemoteSupportError& remote) {
        switch (remote.kind()) {
        case RemoteSupportError::Kind::httpError:
            return "http-" + formatInteger(remote.statusCode());
        case RemoteSupportError::Kind::invalidURL:
            return "invalid-url";
        case RemoteSupportError::Kind::invalidResponse:
            return "invalid-response";
        }
    } catch (const net::HttpTransportError& transport) {
        return transferErrorCode(transport.code());
    } catch (const CancellationError&) {
        return transferErrorCode(abortedTransferCode);
    } catch (...) {
    }
    return "unknown";
}

} // namespace vexel
