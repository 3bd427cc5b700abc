#pragma once

#include <string_view>

namespace vexel {

// Whether `location` begins with a URI scheme and its colon ("https://…",
// "ftp:…", "data:…", "file:///…"): an address for some protocol rather than a
// path of the local file system. Media libraries open such text as the
// protocol it names, so a place that expects a file checks this first. A path
// that begins with "/" never does, nor a relative one whose first "/" comes
// before its first ":" ("clips/a://b.mov").
bool beginsWithUriScheme(std::string_view location);

} // namespace vexel
