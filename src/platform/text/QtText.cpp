#include "platform/text/QtText.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <stdexcept>

namespace vexel::text {

void requireGuiApplication() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        throw std::logic_error("text needs a QGuiApplication, created by the application before "
                               "any text is measured or drawn");
    }
}

QFont qtFont(const Font& font) {
    QFont result;
    // One family, taken as it stands (a plain string would be split at commas).
    result.setFamilies({QString::fromStdString(font.family)});
    result.setPointSizeF(font.pointSize);
    result.setHintingPreference(QFont::PreferNoHinting);
    result.setStyleStrategy(QFont::PreferAntialias);
    return result;
}

QColor qtColor(const Color& color) {
    return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                            static_cast<float>(color.blue), static_cast<float>(color.alpha));
}

QString qtString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace vexel::text
