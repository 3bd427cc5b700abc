#include "presentation/views/shell/CommandPaletteDialog.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/shell/MenuTable.h"
#include "presentation/views/shell/PaletteList.h"

#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QVBoxLayout>

#include <utility>

namespace vexel {

CommandPaletteDialog::CommandPaletteDialog(std::vector<std::string> commands,
                                           std::function<void(const std::string&)> onSelect,
                                           QWidget* parent)
    : QDialog(parent)
    , onSelect_(std::move(onSelect)) {
    setWindowTitle(QStringLiteral("Command Palette"));
    setWindowModality(Qt::WindowModal);
    setFixedSize(fixedSize);
    // A raised panel over the window, so that it reads as one even where no
    // window manager draws a frame around it.
    setObjectName(QStringLiteral("commandPalette"));
    setStyleSheet(QStringLiteral("QDialog#commandPalette { background-color: %1; border: 1px solid "
                                 "%2; }")
                      .arg(toQColor(VexelColors::surface800).name(),
                           toQColor(VexelColors::surface700).lighter(150).name()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* searchBox = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchBox);
    searchLayout->setContentsMargins(12, 12, 12, 12);
    search_ = new QLineEdit;
    search_->setPlaceholderText(QStringLiteral("Search commands..."));
    search_->setFrame(false);
    search_->setObjectName(QStringLiteral("paletteSearch"));
    search_->setStyleSheet(QStringLiteral("QLineEdit#paletteSearch { background: %1; "
                                          "border-radius: 8px; padding: 6px 8px; }")
                               .arg(toQColor(VexelColors::surface700).name()));
    searchLayout->addWidget(search_);
    layout->addWidget(searchBox);

    auto* divider = new QFrame;
    divider->setFixedHeight(1);
    divider->setStyleSheet(QStringLiteral("background-color: %1;")
                               .arg(toQColor(VexelColors::surface700).lighter(150).name()));
    layout->addWidget(divider);

    list_ = new PaletteList;
    layout->addWidget(list_, 1);

    QStringList entries;
    entries.reserve(qsizetype(commands.size()));
    for (const std::string& command : commands) {
        entries.push_back(QString::fromStdString(command));
    }
    list_->setEntries(std::move(entries));

    connect(search_, &QLineEdit::textChanged, list_, &PaletteList::setFilter);
    connect(list_, &PaletteList::entryChosen, this, [this](const QString& entry) {
        if (onSelect_) {
            onSelect_(entry.toStdString());
        }
        accept();
    });

    // The key that opened the palette closes it again.
    auto* toggle = new QAction(this);
    if (const std::optional<MenuItem> item = menuItem(WindowCommand::toggleCommandPalette)) {
        toggle->setShortcuts(item->keys);
    }
    toggle->setShortcutContext(Qt::WindowShortcut);
    connect(toggle, &QAction::triggered, this, &QDialog::reject);
    addAction(toggle);

    search_->setFocus();
}

} // namespace vexel
