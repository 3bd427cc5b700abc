#pragma once

#include "domain/entities/Project.h"
#include "foundation/Uuid.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// The user message of an instruction's first request, within a bound of
// bytes whatever the project holds: the project state, then the instruction.
// Where not every clip fits, what an instruction most needs comes first: the
// tracks, the selected clip, then the clips and text overlays nearest to it
// in time (to the start of the timeline without one). Each run of lines left
// out is named by a note in its place, and a last note says what was left
// out and that it is still there to edit. With room for everything, the text
// is the plain rendering line for line.
class ProjectStateText {
public:
    ProjectStateText(const Project& project, const std::optional<Uuid>& selectedClipId);

    // `leftOutMessages`: earlier chat messages that the history's bound left
    // out, said before the instruction. Within `maxBytes` of JSON when that
    // holds the headings, the notes and the instruction.
    std::string rendered(std::string_view instruction, std::size_t maxBytes,
                         std::size_t leftOutMessages) const;

private:
    const Project& project_;
    std::optional<Uuid> selectedClipId_;
};

} // namespace vexel
