#include "presentation/views/banner/ErrorCategoryLook.h"

#include "presentation/theme/VexelColors.h"

namespace vexel {

ErrorCategoryLook errorCategoryLook(ErrorCategory category) {
    switch (category) {
    case ErrorCategory::network:
        return {"wifi.slash", VexelColors::error};
    case ErrorCategory::auth:
        return {"lock.trianglebadge.exclamationmark", VexelColors::error};
    case ErrorCategory::rateLimit:
        return {"clock.badge.exclamationmark", VexelColors::warning};
    case ErrorCategory::validation:
        return {"exclamationmark.triangle", VexelColors::caution};
    case ErrorCategory::fileImport:
        return {"doc.badge.ellipsis", VexelColors::error};
    case ErrorCategory::llm:
        return {"brain", VexelColors::error};
    case ErrorCategory::unknown:
        break;
    }
    return {"exclamationmark.circle", VexelColors::error};
}

} // namespace vexel
