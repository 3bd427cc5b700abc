#include "presentation/views/inspectors/FontFamilies.h"

#include "data/composition/TextRenderer.h"

#include <QFontDatabase>
#include <QRegularExpression>

#include <algorithm>
#include <set>
#include <string>

namespace vexel {

QStringList fontFamilyList(const QStringList& databaseFamilies,
                           const std::function<bool(const QString&)>& resolves) {
    static const QRegularExpression foundry(QStringLiteral(" \\[[^\\]]*\\]$"));
    // Byte order of the UTF-8 text, not of Qt's UTF-16 units.
    std::set<std::string> names;
    for (QString family : databaseFamilies) {
        family.remove(foundry);
        if (!family.isEmpty()) {
            names.insert(family.toStdString());
        }
    }
    QStringList list{QString()};
    for (const std::string& name : names) {
        const QString family = QString::fromStdString(name);
        // A name the renderer would replace by another font is no choice.
        if (resolves(family)) {
            list.append(family);
        }
    }
    return list;
}

const QStringList& installedFontFamilies() {
    static const QStringList families =
        fontFamilyList(QFontDatabase::families(), [](const QString& family) {
            return TextRenderer::resolveFont(family.toStdString(), 12).family ==
                   family.toStdString();
        });
    return families;
}

} // namespace vexel
