#pragma once

#include <QString>

namespace vexel {

// The value texts beside the inspectors' sliders, the same in every locale.

// A fraction as a whole percentage, cut toward zero: 0.5 reads "50%". The cut
// forgives a billionth, so that 0.29, whose product is a hair below 29, still
// reads "29%".
QString percentReadout(double fraction);

// "%.<decimals>f" followed by `suffix`: 1.5 with 2 decimals and "x" reads "1.50x".
QString fixedText(double value, int decimals, const QString& suffix = {});

// "%+.<decimals>f": 0 reads "+0.00", -0.5 reads "-0.50".
QString signedFixedText(double value, int decimals);

} // namespace vexel
