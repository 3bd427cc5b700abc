#include "domain/entities/BugReport.h"

namespace vexel {

std::string_view rawValue(BugReport::BugCategory category) {
    switch (category) {
    case BugReport::BugCategory::rendering:
        return "rendering";
    case BugReport::BugCategory::crash:
        return "crash";
    case BugReport::BugCategory::ui:
        return "ui";
    case BugReport::BugCategory::llm:
        return "llm";
    case BugReport::BugCategory::other:
        return "other";
    }
    return "other";
}

std::optional<BugReport::BugCategory> bugCategoryFromRaw(std::string_view raw) {
    for (const auto category : allBugCategories) {
        if (rawValue(category) == raw) {
            return category;
        }
    }
    return std::nullopt;
}

} // namespace vexel
