#include "platform/instance/InstanceServer.h"

#include "platform/instance/InstanceError.h"
#include "platform/instance/UnixSocketAddress.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace vexel::instance {

namespace {

// The most a connection's request can hold: its header and the longest path.
constexpr qint64 maxRequestBytes = qint64(maxHandOverPathBytes) + 16;

// A listening socket bound at `socket`, made here rather than by the local
// server, which would take the path as text: a path of other bytes than UTF-8
// would name another file. Throws the reason as text.
int listeningSocket(const std::filesystem::path& socket) {
    const std::optional<sockaddr_un> address = unixSocketAddress(socket);
    if (!address) {
        throw std::string("the socket's path is too long");
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throw std::string(std::strerror(errno));
    }
    // A live instance's socket is never here: it would hold the lock. Only a
    // socket is removed; a folder or file there stays and fails the bind.
    struct stat there {};
    if (::lstat(socket.c_str(), &there) == 0 && S_ISSOCK(there.st_mode)) {
        ::unlink(socket.c_str());
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), addressLength(*address)) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        const int error = errno;
        ::close(fd);
        throw std::string(std::strerror(error));
    }
    return fd;
}

// Whoever reaches the socket is believed: only the user's own processes are.
bool fromThisUser(const QLocalSocket& connection) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(connection.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                        &size) == 0 &&
           peer.uid == ::geteuid();
}

} // namespace

InstanceServer::InstanceServer(FileDescriptor named, std::filesystem::path socket, Limits limits,
                               QObject* parent)
    : QObject(parent)
    , socket_(std::move(socket))
    , limits_(limits) {
    if (named.get() >= 0) {
        named_ = new QLocalServer(this);
        if (named_->listen(qintptr(named.get()))) {
            // The server owns the descriptor now.
            named.release();
            connect(named_, &QLocalServer::newConnection, this,
                    [this] { takeConnections(named_); });
        } else {
            delete std::exchange(named_, nullptr);
        }
    }
    listenAtFile();
    if (named_ == nullptr && file_ == nullptr) {
        throw InstanceError(InstanceError::Kind::cannotListen, socket_,
                            "cannot listen for later starts: " + fileFailure_);
    }
}

InstanceServer::~InstanceServer() {
    stopAccepting();
}

void InstanceServer::listenAtFile() {
    if (socket_.empty()) {
        fileFailure_ = "no socket file without the lock";
        return;
    }
    try {
        const int fd = listeningSocket(socket_);
        auto* server = new QLocalServer(this);
        if (!server->listen(qintptr(fd))) {
            fileFailure_ = server->errorString().toStdString();
            delete server;
            ::close(fd);
            ::unlink(socket_.c_str());
            return;
        }
        file_ = server;
        fileFailure_.clear();
        connect(file_, &QLocalServer::newConnection, this,
                [this, server] { takeConnections(server); });
    } catch (const std::string& why) {
        fileFailure_ = why;
    }
}

bool InstanceServer::keepSocketFile() {
    if (!accepting_ || socket_.empty()) {
        return false;
    }
    struct stat there {};
    if (file_ != nullptr && ::lstat(socket_.c_str(), &there) == 0 && S_ISSOCK(there.st_mode)) {
        return true;
    }
    if (file_ != nullptr) {
        file_->close();
        delete std::exchange(file_, nullptr);
    }
    listenAtFile();
    return file_ != nullptr;
}

void InstanceServer::stopAccepting() {
    if (!accepting_) {
        return;
    }
    accepting_ = false;
    if (named_ != nullptr) {
        named_->close();
    }
    if (file_ != nullptr) {
        file_->close();
        ::unlink(socket_.c_str());
    }
    for (QLocalSocket* connection : findChildren<QLocalSocket*>()) {
        connection->abort();
        connection->deleteLater();
    }
    pending_.clear();
}

bool InstanceServer::isAccepting() const {
    return accepting_;
}

void InstanceServer::takeConnections(QLocalServer* server) {
    while (QLocalSocket* connection = server->nextPendingConnection()) {
        // Owned here rather than by the server it came from, so that every
        // connection is found when the instance stops accepting.
        connection->setParent(this);
        if (!fromThisUser(*connection)) {
            connection->abort();
            connection->deleteLater();
            continue;
        }
        connection->setReadBufferSize(maxRequestBytes);
        auto reader = std::make_shared<HandOverReader>();
        pending_.push_back(connection);
        connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
        connect(connection, &QObject::destroyed, this,
                [this, connection] { pending_.remove(connection); });
        connect(connection, &QLocalSocket::readyRead, this,
                [this, guard = QPointer(connection), reader] {
                    if (guard) {
                        read(*guard, *reader);
                    }
                });
        QTimer::singleShot(limits_.requestTime, connection,
                           [this, guard = QPointer(connection), reader] {
                               if (guard && reader->state() == HandOverReader::State::incomplete) {
                                   drop(*guard);
                               }
                           });
        // Bytes may have come before the connection was taken.
        read(*connection, *reader);
        while (pending_.size() > limits_.maxPending) {
            drop(*pending_.front());
        }
    }
}

void InstanceServer::drop(QLocalSocket& connection) {
    pending_.remove(&connection);
    connection.abort();
    connection.deleteLater();
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
    pending_.remove(&connection);
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
