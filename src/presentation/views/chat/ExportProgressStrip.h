#pragma once

#include "domain/entities/ExportProgress.h"

#include <QWidget>

#include <optional>

class QLabel;
class QProgressBar;

namespace vexel {

// The export's progress above the chat bar: a bar and the phase in words.
class ExportProgressStrip : public QWidget {
    Q_OBJECT

public:
    // The bar's steps from empty to full.
    static constexpr int resolution = 1000;

    explicit ExportProgressStrip(QWidget* parent = nullptr);

    // "Preparing...", "Exporting..." or "Finalizing...".
    static QString phaseText(ExportProgress::Phase phase);

    // Hidden while there is no export.
    void setProgress(const std::optional<ExportProgress>& progress);

    QString text() const;
    // 0 ... 1, as the bar shows it.
    double fraction() const;

private:
    QProgressBar* bar_ = nullptr;
    QLabel* label_ = nullptr;
};

} // namespace vexel
