#pragma once

#include <QString>

namespace vexel {

// Untrusted text (file, clip and track names, messages) shown where Qt would
// read markup or mnemonics into it.

// For a tool tip: the text exactly as written, never read as markup.
QString plainToolTip(const QString& text);

// For a button, action or menu title: "&" shown as itself, not as a shortcut
// marker.
QString escapeMnemonic(QString text);

} // namespace vexel
