#include "presentation/helpers/ResourceBundle.h"

#include <string>
#include <system_error>
#include <utility>

namespace vexel {

ResourceBundle::ResourceBundle(std::vector<std::filesystem::path> roots)
    : roots_(std::move(roots)) {}

ResourceBundle ResourceBundle::main() {
    std::vector<std::filesystem::path> roots;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        roots.push_back(program.parent_path().parent_path() / "share" / "vexel");
    }
#ifdef VEXEL_BUILD_RESOURCE_DIR
    roots.emplace_back(VEXEL_BUILD_RESOURCE_DIR);
#endif
    return ResourceBundle(std::move(roots));
}

std::optional<std::filesystem::path> ResourceBundle::url(std::string_view name,
                                                         std::string_view extension,
                                                         std::string_view subdirectory) const {
    const std::string fileName = std::string(name) + "." + std::string(extension);
    for (const std::filesystem::path& root : roots_) {
        std::filesystem::path candidate = root / subdirectory / fileName;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace vexel
