#include "presentation/helpers/StringTable.h"

#include <cstddef>

namespace vexel {

StringTable::StringTable(std::span<const Entry> entries)
    : texts_(entries.begin(), entries.end()) {}

std::string StringTable::localized(std::string_view key,
                                   std::span<const std::string> values) const {
    const auto text = texts_.find(key);
    return fillPlaceholders(text == texts_.end() ? key : text->second, values);
}

std::string fillPlaceholders(std::string_view format, std::span<const std::string> values) {
    std::string out;
    out.reserve(format.size());
    std::size_t nextValue = 0;
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i++];
            continue;
        }
        const char next = format[i + 1];
        if (next == '%') {
            out += '%';
            i += 2;
            continue;
        }
        if (next == '@') {
            if (nextValue < values.size()) {
                out += values[nextValue++];
            } else {
                out += "%@";
            }
            i += 2;
            continue;
        }
        // "%N$@": the N-th value, counted from 1.
        std::size_t end = i + 1;
        std::size_t position = 0;
        while (end < format.size() && format[end] >= '0' && format[end] <= '9' && position < 1000) {
            position = position * 10 + static_cast<std::size_t>(format[end] - '0');
            ++end;
        }
        if (end > i + 1 && end + 1 < format.size() && format[end] == '$' &&
            format[end + 1] == '@' && position >= 1 && position <= values.size()) {
            out += values[position - 1];
            i = end + 2;
            continue;
        }
        out += format[i++];
    }
    return out;
}

} // namespace vexel
