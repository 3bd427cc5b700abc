#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexel::net {

// Header fields in the order they arrived; names compare without regard to
// ASCII letter case.
class HttpHeaders {
public:
    using Field = std::pair<std::string, std::string>;

    void add(std::string name, std::string value);

    // The value of the first field named `name`.
    std::optional<std::string> value(std::string_view name) const;

    const std::vector<Field>& fields() const { return fields_; }

    bool operator==(const HttpHeaders&) const = default;

private:
    std::vector<Field> fields_;
};

bool headerNamesEqual(std::string_view a, std::string_view b);

} // namespace vexel::net
