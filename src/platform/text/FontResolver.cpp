#include "platform/text/FontResolver.h"

#include "platform/text/FontNameTable.h"
#include "platform/text/QtText.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>

namespace vexel::text {

namespace {

// Resolution does not depend on the size; any valid one will do for probing.
constexpr double kProbeSize = 12;

QString postScriptNameOf(const QFont& font) {
    const QByteArray table = QRawFont::fromFont(font).fontTable("name");
    auto name = postScriptName(
        std::as_bytes(std::span(table.constData(), static_cast<std::size_t>(table.size()))));
    return name ? QString::fromStdString(*name) : QString();
}

} // namespace

Font resolveFont(const std::optional<std::string>& name, double pointSize) {
    requireGuiApplication();
    if (name && !name->empty()) {
        const QString requested = qtString(*name);
        const QFont candidate = qtFont({*name, kProbeSize});
        const QString family = QFontInfo(candidate).family();
        // The font system substitutes a font for any name it does not know;
        // only one that answers to the name is taken.
        const QString wanted = requested.toLower();
        if (family.toLower() == wanted || postScriptNameOf(candidate).toLower().contains(wanted)) {
            return {family.toStdString(), pointSize};
        }
    }
    const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    return {QFontInfo(system).family().toStdString(), pointSize};
}

} // namespace vexel::text
