#pragma once

#include "foundation/FileDescriptor.h"
#include "platform/instance/HandOverMessage.h"

#include <QObject>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <list>
#include <optional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace vexel::instance {

// The running instance's ear: listens for later starts of the application on
// a socket of the abstract namespace, which no clean-up of files can take
// away, and on a socket file beside the lock, tells what each asks
// (requested()) and then answers it, so that the start may end. A request of
// another form, from another user, or not whole within the time limit is
// closed unanswered. Thread of its making only (the GUI thread).
class InstanceServer : public QObject {
    Q_OBJECT

public:
    struct Limits {
        // How long a connection may take to send its whole request: a start
        // sends it at once, so only a stalled or hostile peer takes longer.
        std::chrono::milliseconds requestTime{5000};
        // Connections whose request is not whole yet; the oldest goes when
        // another comes, so that held connections cannot shut out a start.
        std::size_t maxPending = 32;
    };

    // Listens on `named`, a socket already listening in the abstract
    // namespace (none: -1), and at `socket`, first removing a socket file that
    // a killed instance left there: only the holder of the instance lock may
    // make one (none: an empty path). Throws InstanceError::cannotListen when it can listen on
    // neither; fileFailure() says why the socket file could not be used.
    InstanceServer(FileDescriptor named, std::filesystem::path socket, Limits limits,
                   QObject* parent = nullptr);
    InstanceServer(FileDescriptor named, std::filesystem::path socket, QObject* parent = nullptr)
        : InstanceServer(std::move(named), std::move(socket), Limits(), parent) {}
    ~InstanceServer() override;
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    // No request is taken from now on: the sockets go, and starts still
    // waiting for an answer see their connection close without one, so that
    // they go on waiting for the lock. For an instance about to end.
    void stopAccepting();
    bool isAccepting() const;

    // Makes the socket file again when it is gone (its folder emptied), while
    // accepting; false when it cannot.
    bool keepSocketFile();

    const std::filesystem::path& socket() const { return socket_; }
    // Empty when the socket file is listened on.
    const std::string& fileFailure() const { return fileFailure_; }
    // Connections whose request is not whole yet.
    std::size_t pendingCount() const { return pending_.size(); }

signals:
    // A later start asks the instance to come forward and open `folder`
    // (none: only to come forward). Answered once the receivers return.
    void requested(std::optional<std::filesystem::path> folder);

private:
    void listenAtFile();
    void takeConnections(QLocalServer* server);
    void read(QLocalSocket& connection, HandOverReader& reader);
    void drop(QLocalSocket& connection);

    std::filesystem::path socket_;
    Limits limits_;
    QLocalServer* named_ = nullptr;
    QLocalServer* file_ = nullptr;
    std::string fileFailure_;
    bool accepting_ = true;
    std::list<QLocalSocket*> pending_;
};

} // namespace vexel::instance
