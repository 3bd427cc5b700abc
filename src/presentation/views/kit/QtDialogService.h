#pragma once

#include "presentation/views/kit/DialogService.h"

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <optional>

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
    // The folder a panel opens in: the asked one when it exists, else the one
    // the last panel was left in, else the home folder; never the working
    // folder of the process, where Qt's panel would go.
    QString startFolder(const std::optional<std::filesystem::path>& asked) const;

    QPointer<QWidget> parent_;
    QString lastFolder_;
};

} // namespace vexel
