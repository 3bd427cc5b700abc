#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace vexel {

// The read-only files installed with the application (the tutorial's sample
// video), found by name, extension and subfolder under the application's data
// folders, searched in order.
class ResourceBundle {
public:
    explicit ResourceBundle(std::vector<std::filesystem::path> roots);

    // The installed application's own: "share/vexel" beside the folder of the
    // running program, then the resources made by the build, so that a program
    // run from the build tree finds them too.
    static ResourceBundle main();

    // The regular file "<subdirectory>/<name>.<extension>" of the first root
    // that has it; none when no root has it.
    std::optional<std::filesystem::path> url(std::string_view name, std::string_view extension,
                                             std::string_view subdirectory) const;

    const std::vector<std::filesystem::path>& roots() const { return roots_; }

private:
    std::vector<std::filesystem::path> roots_;
};

} // namespace vexel
