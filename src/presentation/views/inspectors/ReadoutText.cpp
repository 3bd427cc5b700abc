#include "presentation/views/inspectors/ReadoutText.h"

#include "foundation/NumberText.h"
#include "presentation/helpers/CommandDescriptions.h"

#include <cmath>

namespace vexel {

QString percentReadout(double fraction) {
    return QString::fromStdString(percentText(fraction)) + QLatin1Char('%');
}

QString fixedText(double value, int decimals, const QString& suffix) {
    return QString::fromStdString(formatFixed(value, decimals)) + suffix;
}

QString signedFixedText(double value, int decimals) {
    const std::string text = formatFixed(value, decimals);
    if (text.starts_with('-') || std::isnan(value)) {
        return QString::fromStdString(text);
    }
    return QLatin1Char('+') + QString::fromStdString(text);
}

} // namespace vexel
