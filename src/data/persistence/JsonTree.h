#pragma once

#include "foundation/Json.h"

#include <cstddef>
#include <string_view>

namespace vexel {

// Parses JSON text into a value in one pass, refusing arrays and objects
// nested deeper than `maxDepth` (the outermost value is depth 0) the moment
// the parser reaches them: hostile text is turned away before it has been
// built into a tree, and code that walks the value later cannot run out of
// stack. Unlike the library's own parser, no object member is looked up while
// the object is being filled and no member list is copied as it grows, so an
// object or array of any width is built in time proportional to the text.
// A key given twice keeps its first place and its last value, as the
// library's ordered parser does. Throws DecodeError (dataCorrupted) for text
// that is not JSON or nests too deeply.
Json parseJsonTree(std::string_view text, std::size_t maxDepth);

} // namespace vexel
