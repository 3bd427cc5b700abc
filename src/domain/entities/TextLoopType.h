#pragma once

#include "foundation/Json.h"

#include <string_view>
#include <variant>

namespace vexel {

// A motion a text repeats between its entrance and its exit. `interval` is the
// repeat interval in seconds; the bounds are rules of the text-animation edit.
class TextLoopType {
public:
    enum class Kind { pulse, bounce };

    struct Pulse {
        double scale = 1;
        double interval = 1;
        friend bool operator==(const Pulse&, const Pulse&) = default;
    };
    struct Bounce {
        double amplitude = 0;
        double interval = 1;
        friend bool operator==(const Bounce&, const Bounce&) = default;
    };

    using Payload = std::variant<Pulse, Bounce>;

    // Not defaulted: GCC would delete a defaulted one, as the nested cases'
    // member initialisers are not usable before this class is complete.
    TextLoopType()
        : payload_(Pulse{}) {}
    explicit TextLoopType(Payload payload)
        : payload_(payload) {}

    static TextLoopType pulse(double scale, double interval) {
        return TextLoopType(Pulse{scale, interval});
    }
    static TextLoopType bounce(double amplitude, double interval) {
        return TextLoopType(Bounce{amplitude, interval});
    }

    Kind kind() const { return static_cast<Kind>(payload_.index()); }
    const Payload& payload() const { return payload_; }
    // The parameters when the loop is of case `Case`, else nullptr.
    template <class Case> const Case* getIf() const { return std::get_if<Case>(&payload_); }
    // The repeat interval of either case.
    double interval() const;

    friend bool operator==(const TextLoopType&, const TextLoopType&) = default;

private:
    Payload payload_;
};

// The case name, also its name in the encoded form ("pulse", "bounce").
std::string_view caseName(TextLoopType::Kind kind);

// {"type": "pulse", "scale", "interval"} or {"type": "bounce", "amplitude", "interval"}.
void to_json(Json& json, const TextLoopType& type);
// An unknown "type" fails with "Unknown TextLoopType: <name>".
void from_json(const Json& json, TextLoopType& type);

} // namespace vexel
