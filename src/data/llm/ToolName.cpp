#include "data/llm/ToolName.h"

namespace vexel {

std::string_view rawValue(ToolName name) {
    return toolNameRawValues.raw(name);
}

std::optional<ToolName> toolNameFromRaw(std::string_view raw) {
    return toolNameRawValues.fromRaw(raw);
}

} // namespace vexel
