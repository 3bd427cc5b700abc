#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace vexel {

// Localized texts by dotted key, compiled in. The key of an interpolated text
// is its fixed part with "%@" where each value goes ("command.split %@"); the
// text puts the values back at its own "%@" placeholders, in order, or picks
// one by position with "%1$@", "%2$@"; "%%" is a literal percent sign.
class StringTable {
public:
    using Entry = std::pair<std::string_view, std::string_view>;

    // The entries must outlive the table (string literals do).
    explicit StringTable(std::span<const Entry> entries);

    // The text of `key` with `values` filled in. A key the table lacks stands
    // for itself, with the values filled into its placeholders, so a missing
    // text still shows what happened.
    std::string localized(std::string_view key, std::span<const std::string> values = {}) const;

    bool contains(std::string_view key) const { return texts_.contains(key); }

private:
    std::unordered_map<std::string_view, std::string_view> texts_;
};

// `format` with its placeholders replaced by `values`; a placeholder without a
// value stays as written, and values are never scanned for placeholders.
std::string fillPlaceholders(std::string_view format, std::span<const std::string> values);

} // namespace vexel
