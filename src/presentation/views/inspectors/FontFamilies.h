#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace vexel {

// The font families the text inspector offers: "" (the default font) first,
// then every installed family that the text renderer draws under its own name,
// each once, in the byte order of its UTF-8 text. Asked of the font system
// once per process, on first use; needs the application object.
const QStringList& installedFontFamilies();

// The same list made from family names as the font database gives them (with
// a " [foundry]" where several foundries make one family); `resolves` tells
// whether the renderer would draw a name in that very family.
QStringList fontFamilyList(const QStringList& databaseFamilies,
                           const std::function<bool(const QString&)>& resolves);

} // namespace vexel
