#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <QStringList>

#include <vector>

class QPushButton;

namespace vexel {

// The command palette's list: one flat button per entry that matches the
// search, in the entries' order. A project of a thousand clips offers tens
// of thousands of entries, so only the rows in sight have buttons, which are
// reused as the list scrolls or the search changes. No row takes the focus or
// is a default button: only a click chooses.
class PaletteList : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit PaletteList(QWidget* parent = nullptr);

    void setEntries(QStringList entries);
    // Shows the entries that contain `text`, ignoring case; every entry for
    // an empty text. Scrolls back to the top.
    void setFilter(const QString& text);

    // The entries shown, in order.
    QStringList shownEntries() const;
    int shownCount() const { return int(shown_.size()); }

    // The buttons of the rows in sight, top first.
    std::vector<QPushButton*> visibleButtons() const;
    int rowHeight() const;

signals:
    void entryChosen(const QString& entry);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    void updateScrollRange();
    void placeRows();

    QStringList entries_;
    // Indices into entries_ of the rows shown.
    std::vector<int> shown_;
    // The row each button of the pool shows now; -1 when it is hidden.
    std::vector<int> rowOfButton_;
    std::vector<QPushButton*> pool_;
};

} // namespace vexel
