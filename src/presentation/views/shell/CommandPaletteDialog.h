#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QLineEdit;

namespace vexel {

class PaletteList;

// The command palette: a search field over the ready-made instructions for
// the project as it was when the palette opened. A click on one hands its
// text to `onSelect` and closes the palette; Escape or the palette's own key
// (Ctrl+K) close it without a choice. Return and the arrow keys choose
// nothing: the list has no selection of its own.
class CommandPaletteDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr QSize fixedSize{400, 300};

    CommandPaletteDialog(std::vector<std::string> commands,
                         std::function<void(const std::string&)> onSelect,
                         QWidget* parent = nullptr);

    QLineEdit& searchField() const { return *search_; }
    PaletteList& list() const { return *list_; }

private:
    QLineEdit* search_ = nullptr;
    PaletteList* list_ = nullptr;
    std::function<void(const std::string&)> onSelect_;
};

} // namespace vexel
