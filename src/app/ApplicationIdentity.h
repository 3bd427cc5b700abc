#pragma once

class QApplication;

namespace vexel {

// Names the application (its settings live under "Vexel/Vexel", its desktop
// entry is "vexel"), gives its windows the icon and the dark theme.
void setUpApplication(QApplication& application);

} // namespace vexel
