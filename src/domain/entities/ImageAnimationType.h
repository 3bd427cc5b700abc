#pragma once

#include "domain/entities/Direction.h"
#include "domain/entities/NormalizedRect.h"
#include "foundation/Json.h"

#include <string_view>
#include <variant>

namespace vexel {

// The motion an image clip plays over its whole duration, with its parameters.
// Nothing is range-checked here: ranges and defaults are the edit's.
class ImageAnimationType {
public:
    enum class Kind { kenBurns, zoomIn, zoomOut, pan, shake, rotate };

    // Moves the visible framing from one rectangle of the image to another.
    struct KenBurns {
        NormalizedRect from;
        NormalizedRect to;
        friend bool operator==(const KenBurns&, const KenBurns&) = default;
    };
    struct ZoomIn {
        double factor = 1;
        friend bool operator==(const ZoomIn&, const ZoomIn&) = default;
    };
    struct ZoomOut {
        double factor = 1;
        friend bool operator==(const ZoomOut&, const ZoomOut&) = default;
    };
    // Distance is a fraction of the image size.
    struct Pan {
        Direction direction = Direction::left;
        double distance = 0;
        friend bool operator==(const Pan&, const Pan&) = default;
    };
    // Intensity 0 to 1.
    struct Shake {
        double intensity = 0;
        friend bool operator==(const Shake&, const Shake&) = default;
    };
    // Signed degrees; may exceed one full turn.
    struct Rotate {
        double degrees = 0;
        friend bool operator==(const Rotate&, const Rotate&) = default;
    };

    // Alternatives in the order of Kind.
    using Payload = std::variant<KenBurns, ZoomIn, ZoomOut, Pan, Shake, Rotate>;

    // Not defaulted: GCC would delete a defaulted one, as the nested cases'
    // member initialisers are not usable before this class is complete.
    ImageAnimationType()
        : payload_(KenBurns{}) {}
    explicit ImageAnimationType(Payload payload)
        : payload_(payload) {}

    static ImageAnimationType kenBurns(NormalizedRect from, NormalizedRect to) {
        return ImageAnimationType(KenBurns{from, to});
    }
    static ImageAnimationType zoomIn(double factor) { return ImageAnimationType(ZoomIn{factor}); }
    static ImageAnimationType zoomOut(double factor) { return ImageAnimationType(ZoomOut{factor}); }
    static ImageAnimationType pan(Direction direction, double distance) {
        return ImageAnimationType(Pan{direction, distance});
    }
    static ImageAnimationType shake(double intensity) {
        return ImageAnimationType(Shake{intensity});
    }
    static ImageAnimationType rotate(double degrees) { return ImageAnimationType(Rotate{degrees}); }

    Kind kind() const { return static_cast<Kind>(payload_.index()); }
    const Payload& payload() const { return payload_; }
    // The parameters when the motion is of case `Case`, else nullptr.
    template <class Case> const Case* getIf() const { return std::get_if<Case>(&payload_); }

    friend bool operator==(const ImageAnimationType&, const ImageAnimationType&) = default;

private:
    Payload payload_;
};

// The case name, also its name in the encoded form ("kenBurns", "pan", ...).
std::string_view caseName(ImageAnimationType::Kind kind);

// One flat object: "type" (the case name) and the case's members.
void to_json(Json& json, const ImageAnimationType& type);
// An unknown "type" fails with "Unknown ImageAnimationType: <name>".
void from_json(const Json& json, ImageAnimationType& type);

} // namespace vexel
