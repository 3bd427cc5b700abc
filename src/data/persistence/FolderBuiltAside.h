#pragma once

#include "foundation/FolderHandle.h"
#include "foundation/FolderLock.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vexel {

// A new project folder built under a hidden name beside the place chosen for
// it (".<name>.saving-<8 hexadecimal digits>") and renamed into place once it
// is whole, so that a save killed at any moment leaves at that place either
// nothing or a whole project. It is locked while it is built; a kill leaves it
// unlocked, for the next save to the same place (removeLeftoversBeside) or,
// through the record it keeps in a folder of the application's own, the next
// start (removeAbandoned) to remove. Failures are
// std::filesystem::filesystem_error.
class FolderBuiltAside {
public:
    // Whether a save to `place` (absolute, normalised) is built aside:
    // nothing is there, or an empty folder (not a link) that can be replaced
    // as a whole, on the file system of the folder above it, which the user
    // may write. Anything else is written into where it stands.
    static bool suits(const std::filesystem::path& place);

    // Makes and locks the hidden folder beside `place`, whose folder must
    // exist, and records it in the folder `records` when one is given (a
    // record that cannot be written only leaves the clean-up to the next
    // save there).
    FolderBuiltAside(const std::filesystem::path& place,
                     const std::optional<std::filesystem::path>& records);
    // Unless placed: removes the folder, with all that was put in it.
    ~FolderBuiltAside();
    FolderBuiltAside(const FolderBuiltAside&) = delete;
    FolderBuiltAside& operator=(const FolderBuiltAside&) = delete;

    const FolderHandle& folder() const { return *folder_; }

    // Renames the folder to the place, which must still be free or an empty
    // folder (anything else there stays and fails the rename), and flushes
    // the rename to disk. The lock goes with the folder.
    void place();

    // Removes what saves to `place` that were killed before they were placed
    // left beside it; never a folder that a save at work holds.
    static void removeLeftoversBeside(const std::filesystem::path& place);
    // The same for every folder recorded in `records`, wherever it lies; the
    // records of saves that ended go too. Does what it can and reports
    // nothing.
    static void removeAbandoned(const std::filesystem::path& records);

private:
    void forgetRecord() noexcept;

    FolderHandle parent_;
    std::string placeName_;
    std::string name_;
    std::optional<FolderHandle> folder_;
    std::optional<FolderLock> lock_;
    std::optional<std::filesystem::path> record_;
    bool placed_ = false;
};

} // namespace vexel
