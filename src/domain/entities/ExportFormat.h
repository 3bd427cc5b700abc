#pragma once

#include "foundation/RawValueTable.h"

#include <array>
#include <optional>
#include <string_view>

namespace vexel {

// The container an export writes: MPEG-4 (H.264) or QuickTime (HEVC).
enum class ExportFormat { mp4, mov };

inline constexpr RawValueTable<ExportFormat, 2> exportFormatRawValues{
    "ExportFormat", {{{ExportFormat::mp4, "mp4"}, {ExportFormat::mov, "mov"}}}};

inline constexpr std::array<ExportFormat, 2> allExportFormats = exportFormatRawValues.cases();

// "mp4", "mov".
std::string_view rawValue(ExportFormat format);
// Exact, case-sensitive match of the raw value; anything else is absent.
std::optional<ExportFormat> exportFormatFromRaw(std::string_view raw);

} // namespace vexel
