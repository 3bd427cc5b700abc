#pragma once

#include "presentation/views/kit/DialogService.h"

#include <QPointer>
#include <QWidget>

namespace vexel {

// Alerts as QMessageBox and panels as QFileDialog, opened window-modal over
// `parent` with open(), never exec(). Qt's own file dialog is used on every
// desktop, so panels look alike and are widgets a test can find.
class QtDialogService final : public DialogService {
public:
    explicit QtDialogService(QWidget* parent = nullptr);

    void setParent(QWidget* parent) { parent_ = parent; }

    QCoro::Task<int> alert(AlertRequest request) override;
    QCoro::Task<std::vector<std::filesystem::path>> filePanel(FilePanelRequest request) override;
    void openUrl(const QUrl& url) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace vexel
