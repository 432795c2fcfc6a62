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

bool forwardToRunningInstance(const QString &name, const QStringList &paths, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectMs))
        return false;

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

    const QDeadlineTimer deadline(timeoutMs);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kTaken;
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
    // still answers there.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kConnectMs))
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
    // files are added after that.
    socket->putChar(kTaken);
    socket->flush();
    socket->disconnectFromServer();
    Q_EMIT openRequested(paths);
}

} // namespace norvale::app
