#pragma once

#include "data/persistence/PersistedProject.h"
#include "foundation/Json.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// The top-level record of "project.json": a format version and the project.
struct ProjectFile {
    static constexpr std::int64_t currentVersion = 1;
    // The largest project file or auto-save, as written and as read: a
    // project of 1000 clips takes about 1 MB, so this is some 60,000 clips.
    // One limit for both, so that what is opened can be saved again. A larger
    // file is refused before it is read; what is read is decoded in one pass
    // that builds no tree of the whole text, so a hostile file under the
    // limit costs about as much as a project of its size.
    static constexpr std::size_t maxFileBytes = std::size_t{64} << 20;
    // More JSON values than a clip of a project file could hold (the editor
    // writes a few hundred): a clip of more does not decode, so that no clip
    // takes more memory than that while it is read.
    static constexpr std::size_t maxClipValues = 100'000;

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
    // and the file would never read back) or text that is not valid UTF-8;
    // PersistenceError::tooLarge when the text would be longer than `limit`
    // even on one line: the folder's indented form falls back to one line,
    // keys still sorted, when its indentation alone would pass the limit.
    std::string encoded(Layout layout, std::size_t limit = maxFileBytes) const;

    // Parses and decodes in one pass (see ProjectFileReader.h); throws
    // DecodeError, also for text that is not JSON or nests deeper than any
    // project file. The version is not checked.
    static ProjectFile decoded(std::string_view bytes);
    // The same for text that may not be JSON at all: none when it is not, or
    // when its top level is a bare value rather than an object or an array.
    static std::optional<ProjectFile> decodedIfStructured(std::string_view bytes);
    // Decoding through a tree of the whole text, in two steps: parsing and
    // decoding a parsed value. The one pass of decoded() must accept and
    // refuse exactly what these do; nothing else reads a project this way.
    static Json parsed(std::string_view bytes);
    static ProjectFile decodedFrom(const Json& json);

    friend bool operator==(const ProjectFile&, const ProjectFile&) = default;
};

// {"version", "project"}, both required.
void to_json(Json& json, const ProjectFile& file);
void from_json(const Json& json, ProjectFile& file);

} // namespace vexel
