#pragma once

#include "data/persistence/ProjectFile.h"
#include "foundation/DecodeError.h"

#include <cstddef>
#include <exception>
#include <optional>
#include <string_view>

namespace vexel {

// What the text of a project file turned out to be.
struct ProjectFileReading {
    // Why the text is no JSON at all (malformed, or nested deeper than
    // allowed); nothing else is set then.
    std::optional<DecodeError> malformed;
    // The top level is an object or an array, not a bare value.
    bool structured = false;
    // The decoded file, or why it does not decode.
    std::optional<ProjectFile> file;
    std::exception_ptr failure;
};

// Reads the text of "project.json" or of an auto-save in one pass, decoding
// as it parses: each clip is decoded from its own small tree as soon as its
// text ends, tracks and the project around them as theirs end, so no tree of
// the whole file is ever built. What the decoding of a parsed tree
// (ProjectFile::decodedFrom) would never read is not built either: members no
// record defines are only parsed, and so is the rest of an array of tracks
// or clips once one of them failed, and the inside of an array or object
// found where the other kind or a bare value belongs. Hostile text therefore
// costs little more than the parser's own pass over it, while a project file
// decodes (or fails) exactly as its parsed tree does: a key given twice
// counts with its last value, and every value is checked by the same
// decoders.
//
// Two limits keep hostile text from taking memory the parse does not need:
// arrays and objects nested deeper than `maxDepth` make the text malformed,
// and a clip that holds more than `maxClipValues` JSON values (the editor
// writes a few hundred at most) does not decode.
ProjectFileReading readProjectFile(std::string_view text, std::size_t maxDepth,
                                   std::size_t maxClipValues);

} // namespace vexel
