#include "domain/entities/ExportFormat.h"

namespace vexel {

std::string_view rawValue(ExportFormat format) {
    return exportFormatRawValues.raw(format);
}

std::optional<ExportFormat> exportFormatFromRaw(std::string_view raw) {
    return exportFormatRawValues.fromRaw(raw);
}

} // namespace vexel
