#pragma once

namespace vexel::text {

// A colour of drawn text: red, green, blue and alpha from 0 to 1, alpha not
// premultiplied.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    friend bool operator==(const Color&, const Color&) = default;
};

} // namespace vexel::text
