#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace norvale::app {

// One Norvale window per user: a second start hands its files to the
// running instance over a local socket and ends.

// The socket of this user's running instance: in the user's private runtime
// folder, named with the user id. NORVALE_INSTANCE overrides it (a name or a
// path), so that separate instances can run side by side.
QString instanceName();

// Hands the files and folders to the running instance, which adds them to
// its list (none: it only brings its window to the front). Relative paths
// are taken from the current folder. True once the instance has taken them;
// false when none is running or it did not answer within timeoutMs.
bool forwardToRunningInstance(const QString &name, const QStringList &paths, int timeoutMs = 10000);

// The running instance's end: receives what later starts hand over.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject *parent = nullptr);
    ~InstanceServer() override;

    // Listens under name. A socket left behind by an instance that ended
    // without removing it is taken over; one that answers is not. False
    // when the name cannot be used.
    bool listen(const QString &name);
    QString fullServerName() const;

Q_SIGNALS:
    // Absolute paths, in the order given; empty when only the window is wanted.
    void openRequested(const QStringList &paths);

private:
    void accept();
    void read(QLocalSocket *socket);

    QLocalServer *m_server;
};

} // namespace norvale::app
