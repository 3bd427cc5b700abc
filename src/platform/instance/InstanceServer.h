#pragma once

#include "platform/instance/HandOverMessage.h"

#include <QObject>

#include <filesystem>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace vexel::instance {

// The running instance's ear: listens on a local socket for later starts of
// the application, tells what each asks (requested()) and then answers it, so
// that the start may end. A request of another form is closed unanswered.
// Thread of its making only (the GUI thread).
class InstanceServer : public QObject {
    Q_OBJECT

public:
    // Listens at `socket`, first removing a socket file that a killed instance
    // left there: only the holder of the instance lock may make one. Throws
    // InstanceError::cannotListen.
    explicit InstanceServer(std::filesystem::path socket, QObject* parent = nullptr);
    ~InstanceServer() override;
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    // No request is taken from now on: the socket goes, and starts still
    // waiting for an answer see their connection close without one, so that
    // they go on waiting for the lock. For an instance about to end.
    void stopAccepting();
    bool isAccepting() const;

    const std::filesystem::path& socket() const { return socket_; }

signals:
    // A later start asks the instance to come forward and open `folder`
    // (none: only to come forward). Answered once the receivers return.
    void requested(std::optional<std::filesystem::path> folder);

private:
    void takeConnections();
    void read(QLocalSocket& connection, HandOverReader& reader);

    std::filesystem::path socket_;
    QLocalServer* server_ = nullptr;
};

} // namespace vexel::instance
