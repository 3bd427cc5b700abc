#pragma once

#include <functional>
#include <memory>
#include <optional>

namespace vexel {

// Calls its callback once per refresh of the screen, on the GUI thread, from
// the event loop, for as long as it exists: destroying it invalidates it.
class DisplayLink {
public:
    virtual ~DisplayLink() = default;
};

// Makes the main screen's display link around a callback; none where there is
// no screen. Tests make links that fire when the test says.
using DisplayLinkFactory =
    std::function<std::unique_ptr<DisplayLink>(std::function<void()> callback)>;

// Display links on a precise timer at `refreshRate` times a second, the rate
// of the main screen as the window reads it (60 where the screen does not
// know it); with no screen (no rate) they make no link.
DisplayLinkFactory timerDisplayLinks(std::optional<double> refreshRate);

} // namespace vexel
