#pragma once

#include <filesystem>
#include <string>

namespace vexel {

// The last component of a path as the user reads it: a Linux file name may be
// any bytes, so invalid UTF-8 sequences become U+FFFD. For display only; the
// path itself stays what it is.
std::string displayFileName(const std::filesystem::path& path);

} // namespace vexel
