#pragma once

#include "presentation/views/kit/IconRegistry.h"

#include <QColor>
#include <QString>
#include <QToolButton>

#include <string_view>

namespace vexel {

// A borderless button that is only an icon (dismiss, cancel): drawn in
// `color` at `glyph` pixels, named for accessibility and its tool tip, and
// never taking the keyboard focus.
QToolButton* iconButton(const IconRegistry& icons, std::string_view iconName, const QColor& color,
                        int glyph, const QString& accessibleName);

} // namespace vexel
