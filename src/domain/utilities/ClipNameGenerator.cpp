#include "domain/utilities/ClipNameGenerator.h"

#include "foundation/UnicodeText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string_view>

namespace vexel {

namespace {

// Only these count as an extension; other text after the last dot is name.
constexpr std::array<std::string_view, 19> mediaExtensions = {
    "mp4",  "mov", "m4v", "avi",  "mkv", "mp3",  "wav",  "m4a",  "aac", "flac",
    "aiff", "png", "jpg", "jpeg", "gif", "webp", "heic", "tiff", "bmp"};

bool isMediaExtension(std::string_view text) {
    return std::find(mediaExtensions.begin(), mediaExtensions.end(), text) != mediaExtensions.end();
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

struct RootBase {
    std::string root;
    // Lower case.
    std::optional<std::string> ext;
};

RootBase parseRootBase(const std::string& name) {
    std::string base = name;
    std::optional<std::string> ext;
    if (const auto dot = name.rfind('.'); dot != std::string::npos) {
        std::string candidate = unicode::lowercased(std::string_view(name).substr(dot + 1));
        if (isMediaExtension(candidate)) {
            base = name.substr(0, dot);
            ext = std::move(candidate);
        }
    }
    // One trailing "_<digits>" group is the number, not the root.
    std::size_t digitsStart = base.size();
    while (digitsStart > 0 && isAsciiDigit(base[digitsStart - 1])) {
        --digitsStart;
    }
    if (digitsStart < base.size() && digitsStart > 0 && base[digitsStart - 1] == '_') {
        base.resize(digitsStart - 1);
    }
    return {std::move(base), std::move(ext)};
}

// Decimal ASCII digits only; nullopt for anything else or on overflow.
std::optional<std::int64_t> parseDecimal(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (!isAsciiDigit(c)) {
            return std::nullopt;
        }
        const int digit = c - '0';
        if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

// The number a name carries after `root` (and before ".ext"), 0 when none.
std::int64_t extractSuffix(const std::string& name, const std::string& root,
                           const std::optional<std::string>& ext) {
    std::string stem = name;
    if (ext) {
        const std::string tail = "." + *ext;
        const std::string lower = unicode::lowercased(name);
        if (lower.size() < tail.size() ||
            lower.compare(lower.size() - tail.size(), tail.size(), tail) != 0) {
            return 0;
        }
        // Drop as many characters as ".ext" has; the name's own spelling of the
        // extension may take other bytes than its lower-cased form.
        const std::size_t characters = unicode::graphemeCount(name);
        const std::size_t drop = ext->size() + 1;
        stem = characters > drop ? unicode::graphemePrefix(name, characters - drop) : std::string();
    }
    if (!stem.starts_with(root)) {
        return 0;
    }
    const std::string_view rest = std::string_view(stem).substr(root.size());
    if (rest.empty() || rest.front() != '_') {
        return 0;
    }
    const auto value = parseDecimal(rest.substr(1));
    return value && *value >= 1 ? *value : 0;
}

std::string makeName(const std::string& root, std::int64_t number,
                     const std::optional<std::string>& ext) {
    const std::string suffix = "_" + std::to_string(number);
    const std::size_t extLength = ext ? ext->size() + 1 : 0;
    const std::size_t rootLength = unicode::graphemeCount(root);
    std::string cutRoot = root;
    if (rootLength + suffix.size() + extLength >= 256) {
        const std::size_t reserved = suffix.size() + extLength;
        const std::size_t keep = reserved < 255 ? std::max<std::size_t>(255 - reserved, 1) : 1;
        cutRoot = unicode::graphemePrefix(root, keep);
    }
    return cutRoot + suffix + (ext ? "." + *ext : std::string());
}

} // namespace

std::vector<std::string>
ClipNameGenerator::generateNames(const std::string& originalName, int count,
                                 const std::vector<std::string>& existingNames) {
    std::vector<std::string> names;
    if (count < 1) {
        return names;
    }
    const RootBase parsed = parseRootBase(originalName);
    std::int64_t highest = 0;
    std::set<std::int64_t> used;
    for (const auto& existing : existingNames) {
        const RootBase other = parseRootBase(existing);
        if (other.root != parsed.root || other.ext != parsed.ext) {
            continue;
        }
        const std::int64_t suffix = extractSuffix(existing, parsed.root, parsed.ext);
        highest = std::max(highest, suffix);
        if (suffix > 0) {
            used.insert(suffix);
        }
    }

    names.reserve(static_cast<std::size_t>(count));
    if (highest <= std::numeric_limits<std::int64_t>::max() - count) {
        for (int i = 1; i <= count; ++i) {
            names.push_back(makeName(parsed.root, highest + i, parsed.ext));
        }
        return names;
    }
    // The next numbers would not fit in 64 bits: rather than wrap into negative
    // or reused numbers, take the lowest numbers no name of this root carries.
    std::int64_t candidate = 1;
    while (static_cast<int>(names.size()) < count) {
        if (used.count(candidate) == 0) {
            names.push_back(makeName(parsed.root, candidate, parsed.ext));
        }
        ++candidate;
    }
    return names;
}

} // namespace vexel
