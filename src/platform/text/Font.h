#pragma once

#include <string>

namespace vexel::text {

// An installed font family at a size in points; a point is one pixel of text
// laid out at scale 1.
struct Font {
    std::string family;
    double pointSize = 0;

    friend bool operator==(const Font&, const Font&) = default;
};

} // namespace vexel::text
