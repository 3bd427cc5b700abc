#include "presentation/views/inspectors/TransitionTypeTags.h"

namespace vexel {

std::string_view transitionTypeTag(const TransitionType& type) {
    return caseName(type.kind());
}

TransitionType transitionTypeFromTag(std::string_view tag, const TransitionType& current) {
    const std::optional<TransitionType::Kind> kind = transitionKind(tag);
    if (!kind) {
        return current;
    }
    return TransitionType::of(*kind, current.direction().value_or(Direction::right));
}

QString directionTitle(Direction direction) {
    switch (direction) {
    case Direction::left:
        return QStringLiteral("Left");
    case Direction::right:
        return QStringLiteral("Right");
    case Direction::up:
        return QStringLiteral("Up");
    case Direction::down:
        return QStringLiteral("Down");
    }
    return {};
}

} // namespace vexel
