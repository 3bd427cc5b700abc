#pragma once

#include "foundation/RawValueTable.h"
#include "foundation/Uuid.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// A problem the user wants to tell the product's makers about, carried whole by
// the report-bug command.
struct BugReport {
    enum class BugCategory { rendering, crash, ui, llm, other };

    using Timestamp = std::chrono::system_clock::time_point;

    Uuid id;
    std::string summary;
    std::string stepsToReproduce;
    BugCategory category = BugCategory::other;
    std::string conversationExcerpt;
    std::optional<std::string> contactEmail;
    Timestamp createdAt;

    friend bool operator==(const BugReport&, const BugReport&) = default;
};

inline constexpr RawValueTable<BugReport::BugCategory, 5> bugCategoryRawValues{
    "BugCategory",
    {{{BugReport::BugCategory::rendering, "rendering"},
      {BugReport::BugCategory::crash, "crash"},
      {BugReport::BugCategory::ui, "ui"},
      {BugReport::BugCategory::llm, "llm"},
      {BugReport::BugCategory::other, "other"}}}};

inline constexpr std::array<BugReport::BugCategory, 5> allBugCategories =
    bugCategoryRawValues.cases();

// "rendering", "crash", "ui", "llm", "other".
std::string_view rawValue(BugReport::BugCategory category);
// Exact, case-sensitive match of the raw value; anything else is absent.
std::optional<BugReport::BugCategory> bugCategoryFromRaw(std::string_view raw);

} // namespace vexel
