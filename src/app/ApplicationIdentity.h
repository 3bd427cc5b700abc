#pragma once

class QApplication;

namespace vexel {

// Names the application (its settings live under "Vexel/Vexel", its desktop
// entry is "vexel"), gives its windows the icon and the dark theme, and
// makes them follow the desktop's reduced motion.
void setUpApplication(QApplication& application);

// Reduces motion while the desktop asks for it (or VEXEL_REDUCE_MOTION=1),
// from now on; called again, it starts over.
void followDesktopMotion(QApplication& application);

} // namespace vexel
