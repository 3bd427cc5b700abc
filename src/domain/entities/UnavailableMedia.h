#pragma once

#include "foundation/Uuid.h"

#include <string>

namespace vexel {

// A clip of an opened project whose media file cannot be used, and why. The
// clip stays in the project; the composition leaves it out.
struct UnavailableMedia {
    enum class Reason {
        missing,        // nothing at the path (or a link to nothing)
        notRegularFile, // a folder, pipe, socket or device: never opened
        unreadable,     // there, but the editor may not read it
        outsideFolder,  // reached through a link (or "..") out of the project folder:
                        // the clip keeps no media, so nothing reads or copies it
    };

    Uuid clipId;
    // The clip's display name.
    std::string clipName;
    Reason reason = Reason::missing;

    friend bool operator==(const UnavailableMedia&, const UnavailableMedia&) = default;
};

} // namespace vexel
