#pragma once

// Qt helpers shared by the font resolver and the rasteriser; never included
// outside this folder.

#include "platform/text/Color.h"
#include "platform/text/Font.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <string_view>

namespace vexel::text {

// Throws std::logic_error unless a QGuiApplication exists.
void requireGuiApplication();

// `font` as a Qt font for a 72-dpi device, unhinted, so that advances are the
// design's and scale exactly with the picture.
QFont qtFont(const Font& font);

QColor qtColor(const Color& color);

// UTF-8 with invalid sequences read as U+FFFD.
QString qtString(std::string_view text);

} // namespace vexel::text
