#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexel {

// `text` as it stands when it has at most `maxCharacters` characters (Unicode
// code points); otherwise its first and last `maxCharacters / 2` characters
// with " … [N characters omitted] … " between them, N the number of characters
// left out. Cuts fall between code points, never inside a UTF-8 sequence.
// Code points rather than grapheme clusters: a text of millions of characters
// is counted in milliseconds, where clusters take a large part of a second.
std::string elidedText(std::string_view text, std::size_t maxCharacters);

} // namespace vexel
