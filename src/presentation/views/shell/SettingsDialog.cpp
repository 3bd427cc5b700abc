#include "presentation/views/shell/SettingsDialog.h"

#include "presentation/helpers/FileNameText.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/viewmodels/ExportDirectory.h"
#include "presentation/viewmodels/runtime/TaskHandle.h"
#include "presentation/views/kit/ElidedLabel.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/TactileButton.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/shell/MenuTable.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace vexel {

namespace {

QLabel* plainLabel(const QString& text, FontStyle style = FontStyle::body) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font(style));
    return label;
}

QLabel* secondaryLabel(const QString& text, FontStyle style) {
    QLabel* label = plainLabel(text, style);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, toQColor(VexelColors::textSecondary));
    label->setPalette(palette);
    return label;
}

// A titled group of rows as the settings lay them out: the symbol and title
// above a rounded panel of rows, and an explanation below it when there is one.
class SettingsSection : public QWidget {
public:
    SettingsSection(const IconRegistry& icons, const char* symbol, const QString& title,
                    const QString& footer = {}) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(6);

        auto* header = new QHBoxLayout;
        header->setSpacing(6);
        auto* icon = new QLabel;
        icon->setPixmap(icons.pixmap(symbol, QSize(14, 14), toQColor(VexelColors::textSecondary),
                                     devicePixelRatioF()));
        header->addWidget(icon);
        header->addWidget(secondaryLabel(title, FontStyle::headline));
        header->addStretch(1);
        layout->addLayout(header);

        auto* panel = new QFrame;
        panel->setObjectName(QStringLiteral("settingsPanel"));
        panel->setStyleSheet(
            QStringLiteral("QFrame#settingsPanel { background: %1; border-radius: 8px; }")
                .arg(toQColor(VexelColors::surface800).name()));
        rows_ = new QGridLayout(panel);
        rows_->setContentsMargins(12, 8, 12, 8);
        rows_->setHorizontalSpacing(16);
        rows_->setVerticalSpacing(8);
        rows_->setColumnStretch(1, 1);
        layout->addWidget(panel);

        if (!footer.isEmpty()) {
            QLabel* note = secondaryLabel(footer, FontStyle::footnote);
            note->setWordWrap(true);
            layout->addWidget(note);
        }
    }

    // A row of a label and what it shows or sets, right-aligned; the label.
    QLabel* addRow(const QString& label, QWidget* content) {
        const int row = rows_->rowCount();
        QLabel* title = plainLabel(label);
        rows_->addWidget(title, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        rows_->addWidget(content, row, 1, Qt::AlignRight | Qt::AlignVCenter);
        return title;
    }

    // A row that is one control alone.
    void addWide(QWidget* content) {
        rows_->addWidget(content, rows_->rowCount(), 0, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);
    }

private:
    QGridLayout* rows_ = nullptr;
};

TactileButton* linkButton(const QString& text) {
    auto* button = new TactileButton(text);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; border: none; padding: 2px 0px; "
                       "text-align: left; }"
                       "QPushButton:disabled { color: %2; }")
            .arg(toQColor(VexelColors::accent).name(), toQColor(VexelColors::textMuted).name()));
    return button;
}

// "<site>/<page>", whatever path the site has.
QUrl pageOf(const QUrl& site, const QString& page) {
    QUrl url = site;
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    url.setPath(path + QLatin1Char('/') + page);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

} // namespace

SettingsDialog::SettingsDialog(Context context, QWidget* parent)
    : QDialog(parent)
    , context_(std::move(context)) {
    setWindowTitle(QStringLiteral("Settings"));
    setModal(false);
    setMinimumSize(minimumDialogSize);

    auto* content = new QWidget;
    auto* sections = new QVBoxLayout(content);
    sections->setContentsMargins(20, 16, 20, 16);
    sections->setSpacing(18);
    sections->addWidget(makeExportSection());
    sections->addWidget(makeTutorialSection());
    sections->addWidget(makeShortcutsSection());
    sections->addWidget(makeAboutSection());
    sections->addWidget(makeSupportSection());
    sections->addStretch(1);

    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    // Everything in sight at first where the screen allows.
    resize(minimumDialogSize.width() + 70, std::min(content->sizeHint().height(), 760));

    showFormat();
    showFolder();
    connect(&context_.settings, &SettingsViewModel::selectedExportFormatChanged, this,
            &SettingsDialog::showFormat);
    connect(&context_.settings, &SettingsViewModel::exportDirectoryChanged, this,
            &SettingsDialog::showFolder);
}

QWidget* SettingsDialog::makeExportSection() {
    auto* section =
        new SettingsSection(context_.icons, "square.and.arrow.up", QStringLiteral("Export"),
                            QStringLiteral("Default format and save location for "
                                           "video exports."));
    format_ = new QComboBox;
    format_->addItem(QStringLiteral("MP4 (.mp4)"), int(ExportFormat::mp4));
    format_->addItem(QStringLiteral("MOV (.mov)"), int(ExportFormat::mov));
    format_->setFocusPolicy(Qt::StrongFocus);
    // Only a choice of the user's is written back.
    connect(format_, &QComboBox::activated, this, [this](int index) {
        context_.settings.setSelectedExportFormat(ExportFormat(format_->itemData(index).toInt()));
    });
    section->addRow(QStringLiteral("Format"), format_);

    auto* folderRow = new QWidget;
    auto* folderLayout = new QHBoxLayout(folderRow);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    folderLayout->setSpacing(8);
    folder_ = new ElidedLabel;
    folder_->setElideMode(Qt::ElideMiddle);
    folder_->setMinimumWidth(80);
    folder_->setMaximumWidth(200);
    QPalette palette = folder_->palette();
    palette.setColor(QPalette::WindowText, toQColor(VexelColors::textSecondary));
    folder_->setPalette(palette);
    folderLayout->addWidget(folder_);
    auto* choose = new TactileButton(QStringLiteral("Choose..."));
    connect(choose, &QPushButton::clicked, this, [this] {
        TaskHandle::start(
            [self = QPointer(this)](std::stop_token) -> QCoro::Task<void> {
                if (self) {
                    co_await self->chooseExportDirectory();
                }
            },
            context_.logger);
    });
    choose_ = choose;
    folderLayout->addWidget(choose);
    section->addRow(QStringLiteral("Save to"), folderRow);
    return section;
}

QWidget* SettingsDialog::makeTutorialSection() {
    auto* section = new SettingsSection(context_.icons, "graduationcap", QStringLiteral("Tutorial"),
                                        QStringLiteral("Replay the interactive onboarding guide."));
    auto* restart = new TactileButton(QStringLiteral("Restart Tutorial"));
    connect(restart, &QPushButton::clicked, &context_.tutorialNotifier, &TutorialNotifier::post);
    restart_ = restart;
    section->addWide(restart);
    return section;
}

QWidget* SettingsDialog::makeShortcutsSection() {
    auto* section =
        new SettingsSection(context_.icons, "keyboard", QStringLiteral("Keyboard Shortcuts"));
    for (const ShortcutRow& row : shortcutRows()) {
        QLabel* keys = plainLabel(row.keys.toString(QKeySequence::NativeText));
        keys->setFont(monospacedFont(FontStyle::body));
        shortcuts_.emplace_back(section->addRow(row.action, keys), keys);
    }
    return section;
}

QWidget* SettingsDialog::makeAboutSection() {
    auto* section = new SettingsSection(context_.icons, "info.circle", QStringLiteral("About"));
    version_ = secondaryLabel(context_.settings.appVersion(), FontStyle::body);
    build_ = secondaryLabel(context_.settings.buildNumber(), FontStyle::body);
    section->addRow(QStringLiteral("Version"), version_);
    section->addRow(QStringLiteral("Build"), build_);
    return section;
}

QWidget* SettingsDialog::makeSupportSection() {
    auto* section =
        new SettingsSection(context_.icons, "questionmark.circle", QStringLiteral("Support"));
    const std::pair<QString, QString> pages[] = {
        {QStringLiteral("Support / Feedback"), QStringLiteral("support")},
        {QStringLiteral("Terms of Service"), QStringLiteral("terms")},
        {QStringLiteral("Privacy Policy"), QStringLiteral("privacy")},
    };
    for (const auto& [title, page] : pages) {
        TactileButton* link = linkButton(title);
        if (context_.site) {
            connect(link, &QPushButton::clicked, this,
                    [this, url = pageOf(*context_.site, page)] { context_.dialogs.openUrl(url); });
        } else {
            link->setEnabled(false);
        }
        links_.push_back(link);
        section->addWide(link);
    }
    return section;
}

void SettingsDialog::showFormat() {
    const QSignalBlocker blocker(format_);
    format_->setCurrentIndex(format_->findData(int(context_.settings.selectedExportFormat())));
}

void SettingsDialog::showFolder() {
    std::filesystem::path folder = context_.settings.exportDirectory();
    if (!folder.has_filename() && folder.has_parent_path() && folder != folder.root_path()) {
        folder = folder.parent_path();
    }
    folder_->setText(QString::fromStdString(displayFileName(folder)));
}

QCoro::Task<void> SettingsDialog::chooseExportDirectory() {
    QPointer self(this);
    FilePanelRequest request;
    request.kind = FilePanelKind::openFolder;
    request.title = QStringLiteral("Choose Export Directory");
    request.directory = existingExportFolder(context_.settings.exportDirectory());
    QCoro::Task<std::vector<std::filesystem::path>> choosing =
        context_.dialogs.filePanel(std::move(request));
    const std::vector<std::filesystem::path> chosen = co_await choosing;
    if (!self || chosen.empty()) {
        co_return;
    }
    self->context_.settings.setExportDirectory(chosen.front());
}

} // namespace vexel
