#pragma once

#include <exception>
#include <filesystem>
#include <string>

namespace vexel {

// Why an auto-save was not recovered although one is there, with a sentence
// for the user: the file is neither lost nor replaced, and they should know
// where it is.
class AutoSaveError : public std::exception {
public:
    enum class Kind {
        // The folder or the file can be changed by another user: what it
        // holds may not be the user's work. Nothing was opened or moved.
        unsafeLocation,
        // The key store of this run cannot open it (another key, a store that
        // does not answer, or damage): it was renamed aside and is offered
        // again once it opens.
        keptAside,
    };

    static AutoSaveError unsafeLocation(std::filesystem::path location);
    // `keyStore`: the key store's name for the user ("the desktop's keyring").
    static AutoSaveError keptAside(std::filesystem::path keptFile, std::string keyStore);

    Kind kind() const { return kind_; }
    // The unsafe folder or file, or the kept file.
    const std::filesystem::path& location() const { return location_; }
    const std::string& keyStore() const { return keyStore_; }

    // What the error banner shows.
    std::string userMessage() const;
    // The case as written in code: keptAside("…", "…").
    const char* what() const noexcept override { return description_.c_str(); }

private:
    AutoSaveError(Kind kind, std::filesystem::path location, std::string keyStore);

    Kind kind_;
    std::filesystem::path location_;
    std::string keyStore_;
    std::string description_;
};

} // namespace vexel
