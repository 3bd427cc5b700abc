#pragma once

#include <filesystem>

namespace vexel {

struct Project;

// Keeps one copy of unsaved work that survives a crash, to be offered for
// recovery at the next launch. Calls block on the file system; the service
// holds no state, so callers serialise their own saves.
class AutoSaveService {
public:
    virtual ~AutoSaveService() = default;

    // Replaces the auto-save whole; on failure the earlier one stays.
    virtual void save(const Project& project) const = 0;
    // The saved project; a missing file is the system's file-not-found error.
    virtual Project load() const = 0;
    // Removes the auto-save; nothing to remove is no error.
    virtual void remove() const = 0;
    // Whether an auto-save awaits recovery.
    virtual bool exists() const = 0;
};

} // namespace vexel
