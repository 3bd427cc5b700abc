#pragma once

#include "domain/entities/EditCommand.h"

#include <QObject>
#include <QString>

namespace vexel {

// The text typed into the add-text form, and whether it may be added: a text
// is added trimmed of white space at both ends and without NUL characters,
// and only when that leaves something of at most 500 bytes of UTF-8.
class AddTextPopoverState : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype byteLimit = 500;
    // How long an added text stays on the timeline, in seconds.
    static constexpr double addedDuration = 5.0;

    explicit AddTextPopoverState(QObject* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(QString text);

    QString cleanedText() const;
    bool canAdd() const;
    bool exceedsLimit() const;
    // The text's addition, placed by the edit engine, 5 s long, in the
    // default position and style.
    EditCommand addCommand() const;

signals:
    void textChanged();

private:
    QString text_;
};

} // namespace vexel
