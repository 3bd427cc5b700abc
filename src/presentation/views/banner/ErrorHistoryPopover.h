#pragma once

// moc cannot parse the standard headers these bring in, and needs none of them.
#ifndef Q_MOC_RUN
#include "presentation/viewmodels/AppError.h"
#include "presentation/views/kit/IconRegistry.h"
#endif
#include "presentation/views/kit/AnchoredPopup.h"

#include <QStringList>

#include <functional>
#include <vector>

class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace vexel {

class IconRegistry;
struct AppError;

// The list of recent errors that the banner's count badge opens, newest at
// the top, with a button that empties it.
class ErrorHistoryPopover : public AnchoredPopup {
    Q_OBJECT

public:
    static constexpr int minimumListWidth = 280;
    // Wide enough for most messages on one or two lines.
    static constexpr int listWidth = 320;
    static constexpr int maximumListHeight = 300;

    explicit ErrorHistoryPopover(const IconRegistry& icons, QWidget* parent = nullptr);

    // `history` oldest first, as the banner's view model keeps it.
    void setHistory(const std::vector<AppError>& history);
    void setOnClear(std::function<void()> onClear) { onClear_ = std::move(onClear); }

    // The messages of the rows, top to bottom.
    QStringList rowMessages() const;
    QPushButton* clearButton() const { return clearButton_; }

private:
    QWidget* makeRow(const AppError& error);

    const IconRegistry& icons_;
    std::function<void()> onClear_;
    QPushButton* clearButton_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* rows_ = nullptr;
    QVBoxLayout* rowLayout_ = nullptr;
    QStringList messages_;
};

} // namespace vexel
