#include "data/persistence/FolderBuiltAside.h"

#include "foundation/AtomicFileWriter.h"
#include "foundation/FileContents.h"
#include "foundation/Uuid.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <system_error>

namespace vexel {

namespace {

constexpr std::string_view kMark = ".saving-";
constexpr std::size_t kSuffixLength = 8;
// Leaves room for the dot, the mark and the suffix within the 255 bytes of a
// file name.
constexpr std::size_t kMaxKeptNameBytes = 200;
constexpr int kAttempts = 16;
constexpr std::size_t kMaxRecordBytes = 8192;

[[noreturn]] void fail(const char* what, const std::filesystem::path& path, int error) {
    throw std::filesystem::filesystem_error(what, path,
                                            std::error_code(error, std::generic_category()));
}

// ".<name>.saving-", the start of the hidden names of saves to `place`.
std::string hiddenPrefix(const std::filesystem::path& place) {
    std::string name = place.filename().string();
    if (name.size() > kMaxKeptNameBytes) {
        name.resize(kMaxKeptNameBytes);
    }
    return "." + name + std::string(kMark);
}

bool isUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool hasSuffixAfter(std::string_view name, std::size_t prefixLength) {
    if (name.size() != prefixLength + kSuffixLength) {
        return false;
    }
    const std::string_view suffix = name.substr(prefixLength);
    return std::all_of(suffix.begin(), suffix.end(), isUpperHexDigit);
}

// Named as a save aside to some place names its folder.
bool isHiddenName(std::string_view name) {
    const std::size_t tail = kMark.size() + kSuffixLength;
    return name.size() > 1 + tail && name.front() == '.' &&
           name.substr(name.size() - tail, kMark.size()) == kMark &&
           hasSuffixAfter(name, name.size() - kSuffixLength);
}

bool sameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the folder of a killed save, under its lock, which a save at work
// holds: true once nothing is there.
bool removeIfAbandoned(const std::filesystem::path& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISDIR(info.st_mode)) {
        return false;
    }
    const std::optional<FolderLock> lock = FolderLock::tryLock(folder);
    if (!lock) {
        return false;
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return !error;
}

bool isEmptyFolder(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::directory_iterator(folder, error) ==
               std::filesystem::directory_iterator() &&
           !error;
}

} // namespace

bool FolderBuiltAside::suits(const std::filesystem::path& place) {
    if (!place.has_filename() || place.native().find('\0') != std::string::npos) {
        return false;
    }
    struct stat info {};
    if (::lstat(place.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    // An empty folder on a file system of its own (a freshly formatted
    // stick, say) cannot be renamed over, nor one whose parent is closed to
    // the user: there the save goes into it.
    struct stat above {};
    const std::filesystem::path parent = place.parent_path();
    return S_ISDIR(info.st_mode) && isEmptyFolder(place) && ::stat(parent.c_str(), &above) == 0 &&
           above.st_dev == info.st_dev && ::access(parent.c_str(), W_OK) == 0;
}

FolderBuiltAside::FolderBuiltAside(const std::filesystem::path& place,
                                   const std::optional<std::filesystem::path>& records)
    : parent_(FolderHandle::open(place.parent_path()))
    , placeName_(place.filename().string()) {
    const std::string prefix = hiddenPrefix(place);
    for (int attempt = 0; attempt < kAttempts && !folder_; ++attempt) {
        name_ = prefix + Uuid::random().string().substr(0, kSuffixLength);
        // Recorded before it exists, so that no kill leaves it unrecorded.
        if (records) {
            try {
                std::filesystem::create_directories(*records);
                std::filesystem::permissions(*records, std::filesystem::perms::owner_all);
                if (!record_) {
                    record_ = *records / (Uuid::random().string() + ".path");
                }
                writeFileAtomically(*record_, (parent_ / name_).string(), 0600);
            } catch (const std::exception&) {
                record_.reset();
            }
        }
        if (!parent_.makeChild(name_)) {
            continue;
        }
        FolderHandle made = parent_.child(name_);
        try {
            lock_.emplace(made);
        } catch (const std::filesystem::filesystem_error&) {
            // A file system that cannot lock: nothing removes it under a
            // lock either.
        }
        // A clean-up that found it before it was locked may have removed it
        // meanwhile: then it is made again under another name.
        struct stat held {};
        struct stat named {};
        if (::fstat(made.fd(), &held) == 0 &&
            ::fstatat(parent_.fd(), name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameEntry(held, named)) {
            folder_ = std::move(made);
        } else {
            lock_.reset();
        }
    }
    if (!folder_) {
        forgetRecord();
        fail("cannot create folder", parent_ / name_, EEXIST);
    }
}

FolderBuiltAside::~FolderBuiltAside() {
    if (!placed_ && folder_) {
        std::error_code ignored;
        std::filesystem::remove_all(parent_ / name_, ignored);
    }
    forgetRecord();
}

void FolderBuiltAside::place() {
    // Replaces nothing but an empty folder: a rename onto a file, a link or a
    // folder that holds anything fails.
    if (::renameat(parent_.fd(), name_.c_str(), parent_.fd(), placeName_.c_str()) != 0) {
        fail("cannot rename folder", parent_ / placeName_, errno);
    }
    placed_ = true;
    parent_.sync();
    forgetRecord();
}

void FolderBuiltAside::forgetRecord() noexcept {
    if (record_) {
        std::error_code ignored;
        std::filesystem::remove(*record_, ignored);
        record_.reset();
    }
}

void FolderBuiltAside::removeLeftoversBeside(const std::filesystem::path& place) {
    if (!place.has_filename()) {
        return;
    }
    const std::string prefix = hiddenPrefix(place);
    std::vector<std::string> names;
    {
        DIR* entries = ::opendir(place.parent_path().c_str());
        if (entries == nullptr) {
            return;
        }
        while (const dirent* entry = ::readdir(entries)) {
            const std::string_view name = entry->d_name;
            if (name.starts_with(prefix) && hasSuffixAfter(name, prefix.size())) {
                names.emplace_back(name);
            }
        }
        ::closedir(entries);
    }
    for (const std::string& name : names) {
        removeIfAbandoned(place.parent_path() / name);
    }
}

void FolderBuiltAside::removeAbandoned(const std::filesystem::path& records) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(records, error)) {
        std::error_code kind;
        if (!entry.is_regular_file(kind) || entry.is_symlink(kind)) {
            continue;
        }
        std::filesystem::path folder;
        try {
            folder = readFileContents(entry.path(), kMaxRecordBytes);
        } catch (const std::exception&) {
            continue;
        }
        // A record names only a hidden folder of a save: anything else it
        // may say is not the editor's to remove.
        const bool ours = folder.is_absolute() && folder.native().find('\0') == std::string::npos &&
                          isHiddenName(folder.filename().string());
        if (!ours || removeIfAbandoned(folder)) {
            std::error_code ignored;
            std::filesystem::remove(entry.path(), ignored);
        }
    }
}

} // namespace vexel
