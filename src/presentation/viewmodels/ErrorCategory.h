#pragma once

namespace vexel {

// The kind of failure an error in the banner stands for; the banner picks its
// icon by it.
enum class ErrorCategory { network, auth, rateLimit, validation, fileImport, llm, unknown };

} // namespace vexel
