#include "presentation/views/timeline/AddTextPopoverState.h"

#include <utility>

namespace vexel {

AddTextPopoverState::AddTextPopoverState(QObject* parent)
    : QObject(parent) {}

void AddTextPopoverState::setText(QString text) {
    if (text != text_) {
        text_ = std::move(text);
        emit textChanged();
    }
}

QString AddTextPopoverState::cleanedText() const {
    QString cleaned = text_.trimmed();
    cleaned.remove(QChar(u'\0'));
    return cleaned;
}

bool AddTextPopoverState::exceedsLimit() const {
    return cleanedText().toUtf8().size() > byteLimit;
}

bool AddTextPopoverState::canAdd() const {
    const QString cleaned = cleanedText();
    return !cleaned.isEmpty() && cleaned.toUtf8().size() <= byteLimit;
}

EditCommand AddTextPopoverState::addCommand() const {
    const QByteArray bytes = cleanedText().toUtf8();
    EditCommand::AddText add;
    add.text = std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    add.at = std::nullopt;
    add.duration = addedDuration;
    add.position = std::nullopt;
    add.style = std::nullopt;
    return add;
}

} // namespace vexel
