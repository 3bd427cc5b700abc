#pragma once

#include "presentation/theme/RGBColor.h"
#include "presentation/viewmodels/ErrorCategory.h"

#include <string_view>

namespace vexel {

// How an error of a category is drawn in the banner and its history: its
// icon, and the tint of icon, background and outline. Only rate limits and
// validation failures have a colour of their own; the rest are error red.
struct ErrorCategoryLook {
    std::string_view iconName;
    RGBColor tint;

    friend constexpr bool operator==(const ErrorCategoryLook&, const ErrorCategoryLook&) = default;
};

ErrorCategoryLook errorCategoryLook(ErrorCategory category);

} // namespace vexel
