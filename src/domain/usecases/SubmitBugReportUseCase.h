#pragma once

#include "domain/entities/BugReport.h"
#include "domain/protocols/SupportService.h"

#include <memory>
#include <stop_token>
#include <utility>

namespace vexel {

// Sends a bug report through the support service; its errors pass through.
class SubmitBugReportUseCase {
public:
    explicit SubmitBugReportUseCase(std::shared_ptr<SupportService> supportService)
        : supportService_(std::move(supportService)) {}

    void execute(const BugReport& report, std::stop_token stop = {}) const {
        supportService_->submitBugReport(report, std::move(stop));
    }

    const std::shared_ptr<SupportService>& supportService() const { return supportService_; }

private:
    std::shared_ptr<SupportService> supportService_;
};

} // namespace vexel
