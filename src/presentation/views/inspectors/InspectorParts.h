#pragma once

#include "presentation/theme/RGBColor.h"
#include "presentation/views/kit/Theme.h"

#include <QFrame>
#include <QLabel>
#include <QString>
#include <QToolButton>
#include <QWidget>

#include <functional>
#include <string_view>
#include <vector>

namespace vexel {

class IconRegistry;

// The pieces the three inspectors are built of, so that they look alike.

// A plain-text label in a text style and colour.
QLabel* makeLabel(const QString& text, FontStyle style, RGBColor color, QWidget* parent = nullptr);
QLabel* makeLabel(const QString& text, FontStyle style, QWidget* parent = nullptr);

// A section's header: its title, and at the trailing edge a borderless trash
// button whose tool tip and accessible name read "Remove <title in lower
// case>", which calls `onRemove`.
QWidget* makeSectionHeader(const QString& title, const IconRegistry& icons,
                           std::function<void()> onRemove, QWidget* parent = nullptr);

// A removable section: a vertical stack that starts with its header; the
// section's rows go below it.
QWidget* makeSection(const QString& title, const IconRegistry& icons,
                     std::function<void()> onRemove);

// The sections one under the other, a divider between neighbours.
QWidget* makeSectionList(const std::vector<QWidget*>& sections);

// A labelled row: the label in a column `labelWidth` wide, then `content`, at
// its own width or, when it fills, across the rest of the row.
QWidget* makeParameterRow(const QString& label, int labelWidth, QWidget* content,
                          FontStyle labelStyle = FontStyle::caption, bool fill = false,
                          QWidget* parent = nullptr);

// The thin line between two sections.
QFrame* makeDivider(QWidget* parent = nullptr);

// What an inspector shows when there is nothing to edit: a large symbol, a
// title and a hint, centred.
QWidget* makeEmptyState(const IconRegistry& icons, std::string_view symbol, const QString& title,
                        const QString& hint, QWidget* parent = nullptr);

// The trailing remove button of a section header.
QToolButton* makeTrashButton(const QString& label, const IconRegistry& icons,
                             QWidget* parent = nullptr);

} // namespace vexel
