#include "platform/net/HttpHeaders.h"

#include <algorithm>

namespace vexel::net {

namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool headerNamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

void HttpHeaders::add(std::string name, std::string value) {
    fields_.emplace_back(std::move(name), std::move(value));
}

std::optional<std::string> HttpHeaders::value(std::string_view name) const {
    for (const auto& [fieldName, fieldValue] : fields_) {
        if (headerNamesEqual(fieldName, name)) {
            return fieldValue;
        }
    }
    return std::nullopt;
}

} // namespace vexel::net
