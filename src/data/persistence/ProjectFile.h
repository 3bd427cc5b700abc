#pragma once

#include "data/persistence/PersistedProject.h"
#include "foundation/Json.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexel {

// The top-level record of "project.json": a format version and the project.
struct ProjectFile {
    static constexpr std::int64_t currentVersion = 1;
    // The largest project file or auto-save that is read at all (a project of
    // 1000 clips takes under 1 MB): a bigger one is refused before reading, so
    // that a hostile file cannot take the memory and time of a load.
    static constexpr std::size_t maxFileBytes = std::size_t{16} << 20;

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
    // The two steps of decoded() apart, for a reader that looks at the parsed
    // value before deciding what it is: parsing (text that is not JSON, or
    // nests deeper than any project file, is a DecodeError, refused as the
    // parser meets it), and decoding a parsed value.
    static Json parsed(std::string_view bytes);
    static ProjectFile decodedFrom(const Json& json);

    friend bool operator==(const ProjectFile&, const ProjectFile&) = default;
};

// {"version", "project"}, both required.
void to_json(Json& json, const ProjectFile& file);
void from_json(const Json& json, ProjectFile& file);

} // namespace vexel
