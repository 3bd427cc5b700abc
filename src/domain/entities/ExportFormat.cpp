#include "domain/entities/ExportFormat.h"

namespace vexel {

std::string_view rawValue(ExportFormat format) {
    switch (format) {
    case ExportFormat::mp4:
        return "mp4";
    case ExportFormat::mov:
        return "mov";
    }
    return "mp4";
}

std::optional<ExportFormat> exportFormatFromRaw(std::string_view raw) {
    for (ExportFormat format : allExportFormats) {
        if (rawValue(format) == raw) {
            return format;
        }
    }
    return std::nullopt;
}

} // namespace vexel
