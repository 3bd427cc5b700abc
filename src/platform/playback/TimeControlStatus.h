#pragma once

namespace vexel::playback {

// Whether a player is playing, or asked to play and waiting until it can.
enum class TimeControlStatus { paused, waitingToPlayAtSpecifiedRate, playing };

} // namespace vexel::playback
