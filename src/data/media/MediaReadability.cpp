#include "data/media/MediaReadability.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

namespace vexel {

namespace {

using Reason = UnavailableMedia::Reason;

Reason reasonOf(int error) {
    // A path through a file, or a disk gone from under its mount point, reads
    // as missing too.
    return error == ENOENT || error == ENOTDIR ? Reason::missing : Reason::unreadable;
}

} // namespace

std::optional<UnavailableMedia::Reason> MediaReadability::check(const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        return reasonOf(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return Reason::notRegularFile;
    }
    // O_NONBLOCK: a file that became a pipe since does not hold the caller.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return reasonOf(errno);
    }
    ::close(fd);
    return std::nullopt;
}

MediaReadability MediaReadability::of(const Project& project, std::stop_token stop) {
    MediaReadability result;
    std::map<std::filesystem::path, std::optional<Reason>> seen;
    for (const Track& track : project.tracks) {
        if (track.type == TrackType::text) {
            continue;
        }
        for (const Clip& clip : track.clips) {
            if (stop.stop_requested()) {
                return result;
            }
            if (!clip.assetURL || clip.assetURL->empty()) {
                continue;
            }
            auto found = seen.find(*clip.assetURL);
            if (found == seen.end()) {
                found = seen.emplace(*clip.assetURL, check(*clip.assetURL)).first;
            }
            if (found->second) {
                result.unreadable.push_back({clip.id, clip.assetName, *found->second});
            } else {
                result.readable.push_back(clip.id);
            }
        }
    }
    return result;
}

} // namespace vexel
