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

// What became of a start's hand-over.
enum class Forwarded {
    // The running instance has the files: this start ends.
    Taken,
    // Nobody listens under the name (none, or a socket left behind): this
    // start becomes the running instance.
    NoInstance,
    // Someone holds the name but did not answer in time, such as an
    // instance that is stopped or hangs: this start opens a window of its
    // own and leaves the name to that instance.
    NoAnswer,
};

// Hands the files and folders to the running instance, which adds them to
// its list (none: it only brings its window to the front). Relative paths
// are taken from the current folder. Connecting, sending and the answer
// together get timeoutMs; an instance that answers later does not add the
// files any more.
Forwarded forwardToRunningInstance(const QString &name, const QStringList &paths,
                                   int timeoutMs = 1000);

// The running instance's end: receives what later starts hand over.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject *parent = nullptr);
    ~InstanceServer() override;

    // Listens under name. A socket left behind by an instance that ended
    // without removing it is taken over; one that another instance still
    // holds is not, even when that instance does not answer. False when the
    // name cannot be used.
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
