#pragma once

#include "domain/entities/FeatureRequest.h"
#include "domain/protocols/SupportService.h"

#include <memory>
#include <stop_token>
#include <utility>

namespace vexel {

// Sends a feature request through the support service; its errors pass through.
class SubmitFeatureRequestUseCase {
public:
    explicit SubmitFeatureRequestUseCase(std::shared_ptr<SupportService> supportService)
        : supportService_(std::move(supportService)) {}

    void execute(const FeatureRequest& request, std::stop_token stop = {}) const {
        supportService_->submitFeatureRequest(request, std::move(stop));
    }

    const std::shared_ptr<SupportService>& supportService() const { return supportService_; }

private:
    std::shared_ptr<SupportService> supportService_;
};

} // namespace vexel
