#pragma once

#include <exception>
#include <string>

namespace vexel {

// Whether the failure is the cancellation error.
bool isCancellation(const std::exception_ptr& error);

// "<qualified type name> — <description>" of a failure, for the log lines of
// the instruction road ("vexel::EditError — clipNotFound(…)").
std::string typeAndDescription(const std::exception_ptr& error);

} // namespace vexel
