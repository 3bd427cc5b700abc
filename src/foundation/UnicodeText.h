#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text operations on UTF-8 strings as the user perceives characters: counts and
// cuts are in grapheme clusters, categories and case follow Unicode. Strings may
// hold NUL; invalid UTF-8 sequences read as U+FFFD.
namespace vexel::unicode {

bool isValidUtf8(std::string_view text);

// The text with every invalid UTF-8 sequence (a maximal invalid subpart)
// replaced by U+FFFD; valid text comes back unchanged. For bytes from outside,
// such as file names, before they are shown, stored or sent.
std::string replacingInvalidUtf8(std::string_view text);

// Number of user-perceived characters (extended grapheme clusters).
std::size_t graphemeCount(std::string_view text);

// The first `count` grapheme clusters of `text`.
std::string graphemePrefix(std::string_view text, std::size_t count);

// Longest prefix of whole grapheme clusters that fits in `maxBytes` UTF-8 bytes.
std::string graphemePrefixWithinBytes(std::string_view text, std::size_t maxBytes);

// Drops every code point of general category Cc (control) or Cf (format).
std::string removingControlAndFormatCharacters(std::string_view text);

// Trims Zs and tab from both ends.
std::string trimmingWhitespace(std::string_view text);

// Trims Zs, tab, U+000A-U+000D, U+0085, Zl and Zp from both ends.
std::string trimmingWhitespaceAndNewlines(std::string_view text);

// Full Unicode lower-casing, locale independent ("GRÜN" -> "grün", "ẞ" -> "ß").
std::string lowercased(std::string_view text);

// Canonical composition (NFC).
std::string nfc(std::string_view text);

} // namespace vexel::unicode
