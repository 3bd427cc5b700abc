#pragma once

#include "domain/entities/ExportFormat.h"

#include <QWidget>

#include <functional>

class QAbstractButton;
class QMenu;
class QToolButton;

namespace vexel {

class IconRegistry;
class TimelineViewModel;

// The row of editing controls above the timeline: Undo and Redo, the Add menu
// (a file, a text) and the Export menu, which waits for a clip to export.
class TimelineActionBar : public QWidget {
    Q_OBJECT

public:
    TimelineActionBar(TimelineViewModel& viewModel, const IconRegistry& icons,
                      QWidget* parent = nullptr);

    void setOnAddFile(std::function<void()> onAddFile) { onAddFile_ = std::move(onAddFile); }
    void setOnAddText(std::function<void()> onAddText) { onAddText_ = std::move(onAddText); }
    void setOnExport(std::function<void(ExportFormat)> onExport) {
        onExport_ = std::move(onExport);
    }

    QAbstractButton* undoButton() const { return undo_; }
    QAbstractButton* redoButton() const { return redo_; }
    QToolButton* addButton() const { return add_; }
    QToolButton* exportButton() const { return export_; }
    QMenu* addMenu() const { return addMenu_; }
    QMenu* exportMenu() const { return exportMenu_; }

private:
    void refreshExport();

    TimelineViewModel& viewModel_;
    std::function<void()> onAddFile_;
    std::function<void()> onAddText_;
    std::function<void(ExportFormat)> onExport_;
    QAbstractButton* undo_;
    QAbstractButton* redo_;
    QToolButton* add_;
    QToolButton* export_;
    QMenu* addMenu_;
    QMenu* exportMenu_;
};

} // namespace vexel
