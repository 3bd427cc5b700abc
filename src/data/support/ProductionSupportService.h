#pragma once

#include "domain/protocols/SupportService.h"
#include "foundation/Logger.h"

#include <exception>
#include <memory>
#include <string>

namespace vexel {

// Makes sending a report never fail for the user: any failure of the wrapped
// service is logged as "[Support] Remote submission failed: <code>" and the
// call returns normally. The code never holds user text.
class ProductionSupportService final : public SupportService {
public:
    ProductionSupportService(std::shared_ptr<SupportService> remote,
                             std::shared_ptr<Logger> logger);

    void submitBugReport(const BugReport& report, std::stop_token stop) override;
    void submitFeatureRequest(const FeatureRequest& request, std::stop_token stop) override;

    // "http-<status>", "invalid-url", "invalid-response", "url-error(<code>)"
    // for a failed or cancelled transfer, else "unknown".
    static std::string sanitized(const std::exception_ptr& error);

    const std::shared_ptr<SupportService>& remote() const { return remote_; }

private:
    template <class Submit> void quietly(Submit&& submit);

    std::shared_ptr<SupportService> remote_;
    std::shared_ptr<Logger> logger_;
};

} // namespace vexel
