#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace vexel::test {

// Collects the warnings Qt prints while it lives, such as a widget refusing a
// size, which otherwise only reach the terminal; the offscreen platform's
// notices of what it cannot do are no fault of ours. One at a time per process.
class QtWarnings {
public:
    QtWarnings() {
        current() = this;
        previous_ = qInstallMessageHandler(&QtWarnings::handle);
    }
    ~QtWarnings() {
        qInstallMessageHandler(previous_);
        current() = nullptr;
    }
    QtWarnings(const QtWarnings&) = delete;
    QtWarnings& operator=(const QtWarnings&) = delete;

    const QStringList& messages() const { return messages_; }

private:
    static QtWarnings*& current() {
        static QtWarnings* instance = nullptr;
        return instance;
    }

    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        QtWarnings* self = current();
        if (self != nullptr && type == QtWarningMsg &&
            !text.startsWith(QStringLiteral("This plugin does not support"))) {
            self->messages_.push_back(text);
        } else if (self != nullptr && self->previous_ != nullptr) {
            self->previous_(type, context, text);
        }
    }

    QtMessageHandler previous_ = nullptr;
    QStringList messages_;
};

} // namespace vexel::test
