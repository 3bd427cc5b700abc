#pragma once

#include <chrono>

namespace vexel {

// Whether the user asked for reduced motion: then every change of the windows
// is instant instead of eased, repeated or slid. Kept on the application
// object, off unless set; tests turn it on.
bool reduceMotion();
void setReduceMotion(bool reduce);

// `duration`, or none at all under reduced motion.
std::chrono::milliseconds animationDuration(std::chrono::milliseconds duration);

} // namespace vexel
