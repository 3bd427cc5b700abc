#pragma once

#include <exception>

namespace vexel {

// A whole reply body that holds no usable content list.
class ContentBlockParseError : public std::exception {
public:
    enum class Kind {
        // Not a JSON object, or no "content" member that is a list of objects.
        missingContent,
        // The "content" list is empty.
        emptyContent,
    };

    explicit ContentBlockParseError(Kind kind)
        : kind_(kind) {}

    static ContentBlockParseError missingContent() {
        return ContentBlockParseError(Kind::missingContent);
    }
    static ContentBlockParseError emptyContent() {
        return ContentBlockParseError(Kind::emptyContent);
    }

    Kind kind() const { return kind_; }
    // The case name: "missingContent" or "emptyContent".
    const char* what() const noexcept override;

    friend bool operator==(const ContentBlockParseError& lhs, const ContentBlockParseError& rhs) {
        return lhs.kind_ == rhs.kind_;
    }

private:
    Kind kind_;
};

} // namespace vexel
