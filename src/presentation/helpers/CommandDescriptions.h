#pragma once

#include "domain/entities/EditCommand.h"
#include "presentation/helpers/CommandStrings.h"
#include "presentation/helpers/StringTable.h"

#include <string>
#include <vector>

namespace vexel {

// One line telling a person what the command does ("Split clip at 1:05"),
// from the "Commands" table. Times are compact times, percents whole numbers,
// other numbers in their shortest form.
std::string summary(const EditCommand& command, const StringTable& strings = commandStrings());

// The summaries of the commands, one a line, or "No changes made." for none.
std::string buildCommandSummary(const std::vector<EditCommand>& commands,
                                const StringTable& strings = commandStrings());

// A fraction as a whole percent, truncated toward zero: 0.756 -> "75". The
// product is nudged by 1e-9 away from zero first, so that a fraction such as
// 0.57, whose product in binary is 56.99999..., still reads "57".
std::string percentText(double fraction);

} // namespace vexel
