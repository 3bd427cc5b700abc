#pragma once

#include "foundation/Logger.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vexel {

// The icons the windows show: our own line drawings, bundled with the program
// as SVG and named like the symbols the views ask for ("play.fill",
// "arrow.uturn.backward"). Drawn in one colour at whatever size is asked, so a
// view tints an icon as it tints its text.
class IconRegistry {
public:
    explicit IconRegistry(std::shared_ptr<Logger> logger);

    // An empty icon for an unknown name, and one log line the first time the
    // name is asked for: a missing drawing must never stop a window.
    QIcon icon(std::string_view name, const QColor& color = Qt::white) const;
    // The icon drawn at `size` (logical pixels) for a screen of `devicePixelRatio`;
    // a null pixmap for an unknown name.
    QPixmap pixmap(std::string_view name, QSize size, const QColor& color = Qt::white,
                   double devicePixelRatio = 1.0) const;

    static bool contains(std::string_view name);
    // Every bundled name, sorted.
    static std::vector<std::string> names();

private:
    void reportUnknown(std::string_view name) const;

    std::shared_ptr<Logger> logger_;
    mutable std::mutex mutex_;
    mutable std::set<std::string, std::less<>> reportedUnknown_;
};

} // namespace vexel
