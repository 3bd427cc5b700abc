#include "presentation/helpers/ExportFileName.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace vexel {

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Suffixes that name a movie container: a name ending in one of them was
// meant as a movie's name and only took the wrong kind.
bool isMovieSuffix(const std::string& suffix) {
    constexpr std::array<std::string_view, 8> movies{"mp4", "mov", "m4v",  "qt",
                                                     "avi", "mkv", "webm", "hevc"};
    return std::find(movies.begin(), movies.end(), suffix) != movies.end();
}

} // namespace

std::filesystem::path withExportSuffix(const std::filesystem::path& chosen,
                                       std::string_view extension) {
    if (!chosen.has_filename()) {
        return chosen;
    }
    std::string suffix = chosen.extension().string();
    if (!suffix.empty()) {
        suffix = lowered(suffix.substr(1));
    }
    const std::string wanted = lowered(std::string(extension));
    if (suffix == wanted) {
        return chosen;
    }
    std::filesystem::path corrected = chosen;
    if (isMovieSuffix(suffix)) {
        return corrected.replace_extension(wanted);
    }
    return corrected += "." + wanted;
}

} // namespace vexel
