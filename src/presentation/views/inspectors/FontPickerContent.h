#pragma once

#include <QAbstractListModel>
#include <QLineEdit>
#include <QListView>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace vexel {

class IconRegistry;

// The font list of the text inspector: a search field over the family names
// it is given (already filtered), the chosen one marked at its trailing edge.
// It filters nothing and decides nothing: it reports the search text as typed
// and the family of a clicked row. The list makes only the rows in view, so a
// long list refills at once.
class FontPickerContent : public QWidget {
    Q_OBJECT

public:
    using Report = std::function<void(const QString&)>;

    static constexpr int listWidth = 220;
    static constexpr int maxListHeight = 300;

    FontPickerContent(const IconRegistry& icons, Report onSearch, Report onSelect,
                      QWidget* parent = nullptr);

    // Shows `families` ("" is the default font) with `selected` marked, and
    // the search text unless the field already holds it.
    void showFamilies(const QString& searchText, const QStringList& families,
                      const QString& selected);

    QLineEdit* searchField() const { return search_; }
    QListView* list() const { return list_; }

    // The rows as shown: "System" for the default font.
    int rowCount() const;
    QString rowText(int row) const;
    bool rowChecked(int row) const;
    // Picks the row as a click on it does.
    void pickRow(int row);

private:
    class Model;

    Report onSelect_;
    QLineEdit* search_;
    QListView* list_;
    Model* model_;
};

} // namespace vexel
