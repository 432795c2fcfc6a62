#include "instance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace norvale::app {

namespace {

// A request: this mark, then the paths (QDataStream, Qt 6.0 format). The
// answer is one byte.
constexpr quint32 kRequestMark = 0x4e564c31; // "NVL1"
constexpr char kTaken = '+';
// Far more than any list of paths; a bigger request is refused.
constexpr qint64 kLargestRequest = 16 * 1024 * 1024;
constexpr int kConnectMs = 1000;

// Whether a connection that failed found nobody under the name: no socket,
// or one that nobody listens on any more. Any other failure (a listener
// that is not taking connections, one we may not reach) means an owner.
bool nobodyListens(const QLocalSocket &socket)
{
    return socket.error() == QLocalSocket::ServerNotFoundError ||
           socket.error() == QLocalSocket::ConnectionRefusedError;
}

QString userId()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

} // namespace

QString instanceName()
{
    const QString chosen = qEnvironmentVariable("NORVALE_INSTANCE");
    if (!chosen.isEmpty())
        return chosen;
    const QString name = QStringLiteral("norvale-%1").arg(userId());
    // The runtime folder belongs to the user alone, so nobody else can put
    // a socket of that name in Norvale's way.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? name : folder + u'/' + name;
}

Forwarded forwardToRunningInstance(const QString &name, const QStringList &paths, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    auto remainingMs = [&] { return int(deadline.remainingTime()); };
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(remainingMs()))
        return nobodyListens(socket) ? Forwarded::NoInstance : Forwarded::NoAnswer;

    QStringList absolute;
    absolute.reserve(paths.size());
    for (const QString &path : paths)
        absolute.append(QFileInfo(path).absoluteFilePath());
    QByteArray request;
    {
        QDataStream out(&request, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << kRequestMark << absolute;
    }
    socket.write(request);

    // A stopped instance's system still accepts the connection and the
    // request; only the answer shows that the instance has them.
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(remainingMs()))
            return Forwarded::NoAnswer;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(remainingMs()))
            return Forwarded::NoAnswer;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kTaken ? Forwarded::Taken : Forwarded::NoAnswer;
}

InstanceServer::InstanceServer(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString &name)
{
    if (m_server->listen(name))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Left behind by an instance that did not end cleanly, unless someone
    // still listens there. An instance that is stopped or busy keeps its
    // socket: taken from it, it would never hear of later starts again.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kConnectMs) || !nobodyListens(probe))
        return false;
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

QString InstanceServer::fullServerName() const
{
    return m_server->fullServerName();
}

void InstanceServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        if (socket->bytesAvailable() > 0)
            read(socket);
    }
}

void InstanceServer::read(QLocalSocket *socket)
{
    if (socket->bytesAvailable() > kLargestRequest) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.setVersion(QDataStream::Qt_6_0);
    in.startTransaction();
    quint32 mark = 0;
    in >> mark;
    if (in.status() == QDataStream::Ok && mark != kRequestMark) {
        socket->abort();
        return;
    }
    QStringList paths;
    in >> paths;
    const QDataStream::Status status = in.status();
    if (!in.commitTransaction()) {
        if (status != QDataStream::ReadPastEnd)
            socket->abort();
        return; // otherwise the rest is still on its way
    }
    // The starting instance may end as soon as it has the answer; the
    // files are added after that. One that gave up waiting has opened its
    // own window with them (this instance may have been stopped meanwhile):
    // the answer finds it gone, and the files are not added twice.
    socket->putChar(kTaken);
    socket->flush();
    if (socket->state() != QLocalSocket::ConnectedState)
        return;
    socket->disconnectFromServer();
    Q_EMIT openRequested(paths);
}

} // namespace norvale::app
