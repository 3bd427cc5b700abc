#include "domain/entities/BugReport.h"

namespace vexel {

std::string_view rawValue(BugReport::BugCategory category) {
    return bugCategoryRawValues.raw(category);
}

std::optional<BugReport::BugCategory> bugCategoryFromRaw(std::string_view raw) {
    return bugCategoryRawValues.fromRaw(raw);
}

} // namespace vexel
