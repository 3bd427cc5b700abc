#include "presentation/views/inspectors/InspectorMenu.h"

#include <QSignalBlocker>

namespace vexel {

InspectorMenu::InspectorMenu(const std::vector<Item>& items, int width,
                             const QString& accessibleName, Write write, QWidget* parent)
    : QComboBox(parent)
    , write_(std::move(write)) {
    for (const Item& item : items) {
        addItem(item.text, item.tag);
    }
    setFixedWidth(width);
    setAccessibleName(accessibleName);
    // Choosing the item already selected still writes: a push chosen again
    // keeps its direction, which only the form's rule knows.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (write_ && index >= 0) {
            write_(itemData(index).toString());
        }
    });
}

void InspectorMenu::showTag(const QString& tag) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(tag));
}

QString InspectorMenu::selectedTag() const {
    return currentIndex() < 0 ? QString() : currentData().toString();
}

} // namespace vexel
