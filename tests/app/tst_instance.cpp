// The socket through which a second start of Norvale finds the first.
#include "app/instance.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>
#include <memory>
#include <vector>

using norvale::app::Forwarded;
using norvale::app::forwardToRunningInstance;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(norvale::app::Forwarded)

namespace {

// What holds a socket name before a start looks at it: nothing ("none"), a
// socket file left behind ("stale"), an instance that never serves the
// connections ("live", as a stopped one), or one whose queue of connections
// is full ("full"), so that a further connection waits and fails.
class Occupant {
public:
    bool occupy(const QString &kind, const QString &socket)
    {
        if (kind == u"stale")
            return norvale::test::writeFile(socket, {});
        if (kind == u"none")
            return true;
        if (!m_listener.listen(socket))
            return false;
        while (kind == u"full" && m_queued.size() < 1000) {
            auto client = std::make_unique<QLocalSocket>();
            client->connectToServer(socket);
            const bool connected = client->state() == QLocalSocket::ConnectedState;
            m_queued.push_back(std::move(client));
            if (!connected)
                break;
        }
        return true;
    }

private:
    QLocalServer m_listener;
    std::vector<std::unique_ptr<QLocalSocket>> m_queued;
};

} // namespace

class TestInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startFinds_data()
    {
        QTest::addColumn<QString>("occupant");
        QTest::addColumn<Forwarded>("forwarded");
        QTest::addColumn<bool>("listens");

        QTest::newRow("no socket") << u"none"_s << Forwarded::NoInstance << true;
        QTest::newRow("left behind by an instance that ended")
            << u"stale"_s << Forwarded::NoInstance << true;
        // Its system takes the connection and the request; the instance,
        // like a stopped one, never reads them. It keeps its socket.
        QTest::newRow("an instance that does not answer")
            << u"live"_s << Forwarded::NoAnswer << false;
        QTest::newRow("an instance that takes no connections")
            << u"full"_s << Forwarded::NoAnswer << false;
    }

    // What a start finds under the name: whether its files are handed over,
    // after about a second at most when nobody answers, and whether it may
    // take the name over.
    void startFinds()
    {
        QFETCH(QString, occupant);
        QFETCH(Forwarded, forwarded);
        QFETCH(bool, listens);

        const QString socket = m_dir.filePath(occupant);
        Occupant holder;
        QVERIFY(holder.occupy(occupant, socket));

        QElapsedTimer waited;
        waited.start();
        QCOMPARE(forwardToRunningInstance(socket, {u"a.puz"_s}), forwarded);
        // The start gives up after its one second: well before the ten
        // seconds of the socket's own timeout, with slack for a loaded machine.
        QVERIFY2(waited.elapsed() < 5000, qPrintable(u"%1 ms"_s.arg(waited.elapsed())));

        norvale::app::InstanceServer server;
        QCOMPARE(server.listen(socket), listens);
        if (listens)
            QCOMPARE(server.fullServerName(), socket);
    }

    // An instance that comes back after a start gave up on it does not add
    // that start's files, which are in the start's own window by then; the
    // next start's it takes and adds.
    void lateAnswerAddsNothing()
    {
        const QString socket = m_dir.filePath(u"late"_s);
        norvale::app::InstanceServer server;
        QVERIFY(server.listen(socket));
        QSignalSpy opened(&server, &norvale::app::InstanceServer::openRequested);

        // This thread serves no events meanwhile, as if the instance were stopped.
        QCOMPARE(forwardToRunningInstance(socket, {u"/late/a.puz"_s}, 200), Forwarded::NoAnswer);

        std::future<Forwarded> next = std::async(std::launch::async, [socket] {
            return forwardToRunningInstance(socket, {u"/next/b.puz"_s}, 30000);
        });
        QTRY_VERIFY_WITH_TIMEOUT(
            next.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 30000);
        QCOMPARE(next.get(), Forwarded::Taken);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.at(0).at(0).toStringList(), QStringList{u"/next/b.puz"_s});
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
