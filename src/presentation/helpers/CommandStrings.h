#pragma once

#include "presentation/helpers/StringTable.h"

namespace vexel {

// The "Commands" table: the English texts of the one-line descriptions of
// edit commands, by their dotted keys.
const StringTable& commandStrings();

} // namespace vexel
