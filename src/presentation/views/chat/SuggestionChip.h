#pragma once

#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/TactileButton.h"

namespace vexel {

// A ready-made instruction offered in the empty chat: a speech-bubble icon and
// the text, wrapped, as wide as the column. Tapping it only fills the input.
class SuggestionChip : public TactileButton {
    Q_OBJECT

public:
    static constexpr int horizontalPadding = 12;
    static constexpr int verticalPadding = 8;
    static constexpr double cornerRadius = 8;

    SuggestionChip(const QString& suggestion, const IconRegistry& icons, QWidget* parent = nullptr);

    const QString& suggestion() const { return suggestion_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int iconSize() const;
    QRect textRect(int width) const;

    QString suggestion_;
    QPixmap icon_;
};

} // namespace vexel
