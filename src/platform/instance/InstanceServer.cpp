#include "platform/instance/InstanceServer.h"

#include "platform/instance/InstanceError.h"
#include "platform/instance/UnixSocketAddress.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace vexel::instance {

namespace {

[[noreturn]] void cannotListen(const std::filesystem::path& socket, const std::string& why) {
    throw InstanceError(InstanceError::Kind::cannotListen, socket,
                        "cannot listen for later starts: " + why);
}

// A listening socket bound at `socket`, made here rather than by the local
// server, which would take the path as text: a path of other bytes than UTF-8
// would name another file.
int listeningSocket(const std::filesystem::path& socket) {
    const std::optional<sockaddr_un> address = unixSocketAddress(socket);
    if (!address) {
        cannotListen(socket, "the socket's path is too long");
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        cannotListen(socket, std::strerror(errno));
    }
    // A live instance's socket is never here: it would hold the lock.
    ::unlink(socket.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(sockaddr_un)) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        const int error = errno;
        ::close(fd);
        cannotListen(socket, std::strerror(error));
    }
    return fd;
}

} // namespace

InstanceServer::InstanceServer(std::filesystem::path socket, QObject* parent)
    : QObject(parent)
    , socket_(std::move(socket))
    , server_(new QLocalServer(this)) {
    const int fd = listeningSocket(socket_);
    if (!server_->listen(qintptr(fd))) {
        ::close(fd);
        ::unlink(socket_.c_str());
        cannotListen(socket_, server_->errorString().toStdString());
    }
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::takeConnections);
}

InstanceServer::~InstanceServer() {
    stopAccepting();
}

void InstanceServer::stopAccepting() {
    if (!server_->isListening()) {
        return;
    }
    server_->close();
    ::unlink(socket_.c_str());
    for (QLocalSocket* connection : server_->findChildren<QLocalSocket*>()) {
        connection->abort();
        connection->deleteLater();
    }
}

bool InstanceServer::isAccepting() const {
    return server_->isListening();
}

void InstanceServer::takeConnections() {
    while (QLocalSocket* connection = server_->nextPendingConnection()) {
        auto reader = std::make_shared<HandOverReader>();
        connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
        connect(connection, &QLocalSocket::readyRead, this,
                [this, guard = QPointer(connection), reader] {
                    if (guard) {
                        read(*guard, *reader);
                    }
                });
        // Bytes may have come before the connection was taken.
        read(*connection, *reader);
    }
}

void InstanceServer::read(QLocalSocket& connection, HandOverReader& reader) {
    if (reader.state() != HandOverReader::State::incomplete) {
        return;
    }
    const QByteArray bytes = connection.readAll();
    const HandOverReader::State state =
        reader.add(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (state == HandOverReader::State::incomplete) {
        return;
    }
    if (state == HandOverReader::State::complete) {
        const QPointer guard(&connection);
        emit requested(reader.folder());
        // An instance that stopped accepting meanwhile has not taken it.
        if (guard && isAccepting()) {
            guard->write(&handOverTaken, 1);
            guard->disconnectFromServer();
            return;
        }
        if (!guard) {
            return;
        }
    }
    connection.abort();
    connection.deleteLater();
}

} // namespace vexel::instance
