#include "data/export/ExportFileName.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <ctime>
#include <system_error>

namespace vexel {

std::string exportFileName(std::chrono::system_clock::time_point now, ExportFormat format) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(now);
    const std::time_t time = std::chrono::system_clock::to_time_t(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "%Y-%m-%dT%H-%M-%SZ", &utc);
    return "VexelExport_" + std::string(stamp.data()) + "." + std::string(rawValue(format));
}

std::filesystem::path reserveUniqueFile(const std::filesystem::path& folder,
                                        const std::string& fileName) {
    const std::filesystem::path name(fileName);
    const std::string stem = name.stem().string();
    const std::string extension = name.extension().string();
    for (unsigned suffix = 0;; ++suffix) {
        std::filesystem::path candidate =
            folder / (suffix == 0 ? fileName : stem + "-" + std::to_string(suffix) + extension);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            throw std::filesystem::filesystem_error(
                "cannot create export file", candidate,
                std::error_code(errno, std::generic_category()));
        }
    }
}

} // namespace vexel
