#pragma once

#include "presentation/helpers/StringTable.h"

namespace vexel {

// The "Tutorial" table: the English texts of the guided tutorial's cards,
// prefilled instructions and replies, by their dotted keys.
const StringTable& tutorialStrings();

} // namespace vexel
