#pragma once

#include "data/persistence/PersistedProject.h"
#include "foundation/Json.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vexel {

// The top-level record of "project.json": a format version and the project.
struct ProjectFile {
    static constexpr std::int64_t currentVersion = 1;

    enum class Layout {
        // Indented, keys in alphabetical order: the project folder's file,
        // meant to be read and compared by people and tools.
        prettySortedKeys,
        // One line, keys in declared order: the auto-save.
        compact,
    };

    std::int64_t version = currentVersion;
    PersistedProject project;

    // Throws PersistenceError::encodingFailed when the record holds a number
    // that is not finite (JSON has no form for it: it would be written as null
    // and the file would never read back) or text that is not valid UTF-8.
    std::string encoded(Layout layout) const;

    // Parses and decodes; throws DecodeError. The version is not checked.
    static ProjectFile decoded(std::string_view bytes);

    friend bool operator==(const ProjectFile&, const ProjectFile&) = default;
};

// {"version", "project"}, both required.
void to_json(Json& json, const ProjectFile& file);
void from_json(const Json& json, ProjectFile& file);

} // namespace vexel
