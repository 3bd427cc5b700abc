#include "presentation/views/kit/QtDialogService.h"

#include "presentation/helpers/ExportFileName.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/kit/Theme.h"

#include <QAbstractButton>
#include <QCoro/QCoroSignal>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
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

// Qt's panel, asked for a name, opens a folder whose name is typed instead of
// choosing it: a project folder, which is what is asked for here, could then
// never be saved over, and saving again would write a project inside it. A
// typed name of an existing folder chooses that folder; a name that ends in
// a separator still goes into it, as double-clicking a folder does.
class FolderSavePanel final : public QFileDialog {
public:
    FolderSavePanel(QWidget* parent, const QString& title)
        : QFileDialog(parent, title) {}

    void accept() override {
        const auto* field = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = field != nullptr ? field->text() : QString();
        const QStringList files = selectedFiles();
        const bool namesFolder = !typed.isEmpty() && !typed.endsWith(QLatin1Char('/')) &&
                                 typed != QLatin1String(".") && typed != QLatin1String("..");
        if (namesFolder && files.size() == 1 && QFileInfo(files.front()).isDir()) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

// A file panel whose names must end in one suffix: the typed name is put
// right before Qt's panel checks it, so that it asks about replacing the
// file that will really be written, not the one typed.
class SuffixSavePanel final : public QFileDialog {
public:
    SuffixSavePanel(QWidget* parent, const QString& title, QString suffix)
        : QFileDialog(parent, title)
        , suffix_(std::move(suffix)) {}

    void accept() override {
        auto* field = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = field != nullptr ? field->text() : QString();
        if (!typed.isEmpty() && !typed.endsWith(QLatin1Char('/'))) {
            const std::filesystem::path corrected =
                withExportSuffix(std::filesystem::path(QFile::encodeName(typed).toStdString()),
                                 suffix_.toStdString());
            field->setText(QFile::decodeName(corrected.c_str()));
        }
        QFileDialog::accept();
    }

private:
    QString suffix_;
};

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
    // With no answer marked as the usual one, Return takes the safe one.
    if (box->defaultButton() == nullptr && cancelIndex >= 0) {
        box->setDefaultButton(qobject_cast<QPushButton*>(buttons[std::size_t(cancelIndex)]));
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
    QPointer<QFileDialog> dialog;
    if (request.kind == FilePanelKind::saveFolder) {
        dialog = new FolderSavePanel(parent_, request.title);
    } else if (request.kind == FilePanelKind::save && !request.requiredSuffix.isEmpty()) {
        dialog = new SuffixSavePanel(parent_, request.title, request.requiredSuffix);
    } else {
        dialog = new QFileDialog(parent_, request.title);
    }
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setDirectory(startFolder(request.directory));
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
    case FilePanelKind::saveFolder:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->selectFile(request.suggestedName);
        // Whether an existing folder may be written is the caller's question.
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        break;
    }
    dialog->open();
    const int result = co_await qCoro(dialog.data(), &QFileDialog::finished);
    std::vector<std::filesystem::path> chosen;
    if (dialog.isNull()) {
        co_return chosen;
    }
    lastFolder_ = dialog->directory().absolutePath();
    if (result == QDialog::Accepted) {
        for (const QString& file : dialog->selectedFiles()) {
            // Paths are bytes on disk; the panel shows them decoded.
            chosen.emplace_back(QFile::encodeName(file).toStdString());
        }
    }
    dialog->deleteLater();
    co_return chosen;
}

QString QtDialogService::startFolder(const std::optional<std::filesystem::path>& asked) const {
    if (asked && asked->is_absolute()) {
        const QString folder = QFile::decodeName(asked->c_str());
        if (QFileInfo(folder).isDir()) {
            return folder;
        }
    }
    if (!lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir()) {
        return lastFolder_;
    }
    return QDir::homePath();
}

void QtDialogService::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace vexel
