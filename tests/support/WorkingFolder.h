#pragma once

#include <filesystem>

namespace vexel::test {

// For its lifetime the process runs in `folder`, as a program started there
// would; the working folder before it comes back at its end.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() { std::filesystem::current_path(previous_); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path previous_;
};

} // namespace vexel::test
