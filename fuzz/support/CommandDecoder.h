#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/Project.h"
#include "support/FuzzInput.h"

namespace vexel::fuzz {

// Decodes one edit command of any case from the fuzzer's bytes. Clip and track
// ids are taken modulo those of `project`, with one extra choice naming no clip
// or track at all, so most commands reach the checks past the look-up.
EditCommand decodeCommand(FuzzInput& input, const Project& project);

} // namespace vexel::fuzz
