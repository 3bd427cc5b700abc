#pragma once

#include <filesystem>
#include <string_view>

namespace vexel {

// The place an exported movie is written to: the chosen one, with the suffix
// of the format it holds (`extension`, "mp4" or "mov"), so that the name says
// what other programs find inside. A movie suffix of the other kind is
// replaced ("projB.mov" → "projB.mp4"); any other name gets the suffix added
// ("projB" → "projB.mp4", "take.final" → "take.final.mp4"); the right suffix,
// in any case, stays as typed.
std::filesystem::path withExportSuffix(const std::filesystem::path& chosen,
                                       std::string_view extension);

} // namespace vexel
