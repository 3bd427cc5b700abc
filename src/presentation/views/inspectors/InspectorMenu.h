#pragma once

#include <QComboBox>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace vexel {

// A pop-up menu bound to one choice of an inspector's form, each item selecting
// by its tag. A value of the form that no item stands for shows no selection
// and stays as it is until the user picks an item.
class InspectorMenu : public QComboBox {
    Q_OBJECT

public:
    struct Item {
        QString text;
        QString tag;
    };
    using Write = std::function<void(const QString& tag)>;

    InspectorMenu(const std::vector<Item>& items, int width, const QString& accessibleName,
                  Write write, QWidget* parent = nullptr);

    // Selects the item of `tag`, or none, without writing anything back.
    void showTag(const QString& tag);

    // The tag of the selected item; empty when none is.
    QString selectedTag() const;

private:
    Write write_;
};

} // namespace vexel
