#pragma once

// Qt only; never included outside this folder.

#include "platform/text/Font.h"

#include <QTextLayout>

#include <limits>
#include <memory>
#include <string_view>
#include <vector>

namespace vexel::text {

// A text laid out at scale 1 in a box width: one Qt layout per paragraph,
// lines one below the other from the top. The one line-breaking rule of
// measuring and drawing.
class ParagraphLayout {
public:
    static constexpr double maxWidth = 1e6;

    // Lays out lines until one would start at or below `heightLimit`; lines are
    // placed (given their top) only when the limit is finite.
    ParagraphLayout(std::string_view text, const Font& font, double width,
                    double heightLimit = std::numeric_limits<double>::infinity());

    ParagraphLayout(const ParagraphLayout&) = delete;
    ParagraphLayout& operator=(const ParagraphLayout&) = delete;

    // The widest line, without its trailing spaces.
    double width() const { return width_; }
    // All lines laid out.
    double height() const { return height_; }

    // The lines, placed under a finite height limit, whose bottom is not below
    // `bottom`.
    std::vector<QTextLine> linesAbove(double bottom) const;

private:
    std::vector<std::unique_ptr<QTextLayout>> paragraphs_;
    double width_ = 0;
    double height_ = 0;
};

} // namespace vexel::text
