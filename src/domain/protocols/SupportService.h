#pragma once

#include "domain/entities/BugReport.h"
#include "domain/entities/FeatureRequest.h"

#include <stop_token>

namespace vexel {

// Sends the user's bug reports and feature requests to the product's makers.
// Both calls block until the report is delivered or has failed; a stop request
// ends them early.
class SupportService {
public:
    virtual ~SupportService() = default;

    virtual void submitBugReport(const BugReport& report, std::stop_token stop) = 0;
    virtual void submitFeatureRequest(const FeatureRequest& request, std::stop_token stop) = 0;
};

} // namespace vexel
