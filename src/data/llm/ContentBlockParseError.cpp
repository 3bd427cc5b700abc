#include "data/llm/ContentBlockParseError.h"

namespace vexel {

const char* ContentBlockParseError::what() const noexcept {
    switch (kind_) {
    case Kind::missingContent:
        return "missingContent";
    case Kind::emptyContent:
        return "emptyContent";
    }
    return "missingContent";
}

} // namespace vexel
