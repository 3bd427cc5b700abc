#pragma once

#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <filesystem>
#include <optional>
#include <vector>

namespace vexel {

// What a button of an alert does besides answering it: the default one answers
// Return, the cancel one Escape, a destructive one is drawn as such.
enum class AlertButtonRole { normal, defaultAction, destructive, cancel };

struct AlertButton {
    QString text;
    AlertButtonRole role = AlertButtonRole::normal;

    friend bool operator==(const AlertButton&, const AlertButton&) = default;
};

// A question put to the user. Every text is shown as plain text.
struct AlertRequest {
    QString title;
    QString message;
    QString informativeText;
    // In the order they are added; at least one.
    std::vector<AlertButton> buttons;

    friend bool operator==(const AlertRequest&, const AlertRequest&) = default;
};

enum class FilePanelKind {
    // Existing files, several at once.
    openFiles,
    // One existing folder.
    openFolder,
    // A new name in a chosen folder, for a file.
    save,
    // A folder's name in a chosen folder, new or existing: an existing
    // folder's name chooses that folder instead of opening it, and the caller
    // decides whether it may be written.
    saveFolder,
};

struct FilePanelRequest {
    FilePanelKind kind = FilePanelKind::openFiles;
    QString title;
    // Where the panel opens; none: where it was last.
    std::optional<std::filesystem::path> directory;
    // The name proposed by a save panel.
    QString suggestedName;
    // "Movies (*.mp4 *.mov)" and the like; none shows every file.
    QStringList nameFilters;
    // Whether a save panel asks before it lets the user pick an existing name.
    bool confirmOverwrite = true;
    // A save panel's file suffix without the dot ("mp4"): a name typed with
    // another is corrected (withExportSuffix) before the panel checks it, so
    // that the question about replacing a file is asked of the name written.
    QString requiredSuffix;

    friend bool operator==(const FilePanelRequest&, const FilePanelRequest&) = default;
};

// Every message box, file panel and outside link of the windows goes through
// here, so that no widget ever blocks in a modal loop of its own and tests can
// answer in their place. Alerts and panels open without blocking and resume
// their caller on the GUI thread once answered.
class DialogService {
public:
    virtual ~DialogService() = default;

    // The index of the chosen button; the cancel button's when the alert is
    // closed any other way (-1 when it has none).
    virtual QCoro::Task<int> alert(AlertRequest request) = 0;
    // The chosen paths; none when the panel is cancelled.
    virtual QCoro::Task<std::vector<std::filesystem::path>> filePanel(FilePanelRequest request) = 0;
    // Opens a web page in the user's browser.
    virtual void openUrl(const QUrl& url) = 0;
};

} // namespace vexel
