#include "presentation/views/kit/QtDialogService.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/kit/Theme.h"

#include <QAbstractButton>
#include <QCoro/QCoroSignal>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

namespace vexel {

namespace {

QMessageBox::ButtonRole buttonRole(AlertButtonRole role) {
    switch (role) {
    case AlertButtonRole::defaultAction:
        return QMessageBox::AcceptRole;
    case AlertButtonRole::destructive:
        return QMessageBox::DestructiveRole;
    case AlertButtonRole::cancel:
        return QMessageBox::RejectRole;
    case AlertButtonRole::normal:
        break;
    }
    return QMessageBox::ActionRole;
}

} // namespace

QtDialogService::QtDialogService(QWidget* parent)
    : parent_(parent) {}

QCoro::Task<int> QtDialogService::alert(AlertRequest request) {
    QPointer<QMessageBox> box = new QMessageBox(parent_);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setTextFormat(Qt::PlainText);
    box->setWindowTitle(request.title);
    box->setText(request.message);
    box->setInformativeText(request.informativeText);
    box->setIcon(QMessageBox::NoIcon);
    // A raised panel over the window, with the question in bold above its
    // explanation, so that it reads as a question even where no window
    // manager draws a frame around it.
    box->setObjectName(QStringLiteral("vexelAlert"));
    box->setStyleSheet(QStringLiteral("QMessageBox#vexelAlert { background-color: %1; border: 1px "
                                      "solid %2; }")
                           .arg(toQColor(VexelColors::surface800).name(),
                                toQColor(VexelColors::surface700).lighter(150).name()));
    if (auto* question = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        question->setFont(font(FontStyle::headline));
    }
    std::vector<QAbstractButton*> buttons;
    int cancelIndex = -1;
    for (std::size_t index = 0; index < request.buttons.size(); ++index) {
        const AlertButton& button = request.buttons[index];
        QPushButton* added = box->addButton(escapeMnemonic(button.text), buttonRole(button.role));
        buttons.push_back(added);
        if (button.role == AlertButtonRole::defaultAction) {
            box->setDefaultButton(added);
        }
        if (button.role == AlertButtonRole::cancel) {
            box->setEscapeButton(added);
            cancelIndex = int(index);
        }
    }
    box->open();
    co_await qCoro(box.data(), &QMessageBox::finished);
    if (box.isNull()) {
        co_return cancelIndex;
    }
    int answer = cancelIndex;
    for (std::size_t index = 0; index < buttons.size(); ++index) {
        if (box->clickedButton() == buttons[index]) {
            answer = int(index);
        }
    }
    box->deleteLater();
    co_return answer;
}

QCoro::Task<std::vector<std::filesystem::path>>
QtDialogService::filePanel(FilePanelRequest request) {
    QPointer<QFileDialog> dialog = new QFileDialog(parent_, request.title);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    if (request.directory) {
        dialog->setDirectory(QFile::decodeName(request.directory->c_str()));
    }
    if (!request.nameFilters.isEmpty()) {
        dialog->setNameFilters(request.nameFilters);
    }
    switch (request.kind) {
    case FilePanelKind::openFiles:
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFiles);
        break;
    case FilePanelKind::openFolder:
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        break;
    case FilePanelKind::save:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->selectFile(request.suggestedName);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        break;
    }
    dialog->open();
    const int result = co_await qCoro(dialog.data(), &QFileDialog::finished);
    std::vector<std::filesystem::path> chosen;
    if (dialog.isNull()) {
        co_return chosen;
    }
    if (result == QDialog::Accepted) {
        for (const QString& file : dialog->selectedFiles()) {
            // Paths are bytes on disk; the panel shows them decoded.
            chosen.emplace_back(QFile::encodeName(file).toStdString());
        }
    }
    dialog->deleteLater();
    co_return chosen;
}

void QtDialogService::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace vexel
