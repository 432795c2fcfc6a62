// The socket through which a second start of Norvale finds the first.
#include "app/instance.h"
#include "testsupport.h"

#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listen_data()
    {
        QTest::addColumn<QString>("occupant");
        QTest::addColumn<bool>("listens");

        QTest::newRow("free") << u"none"_s << true;
        QTest::newRow("left behind by an instance that ended") << u"stale"_s << true;
        QTest::newRow("a running instance") << u"live"_s << false;
    }

    void listen()
    {
        QFETCH(QString, occupant);
        QFETCH(bool, listens);

        const QString socket = m_dir.filePath(u"listen-"_s + occupant);
        QLocalServer live;
        if (occupant == u"stale")
            QVERIFY(norvale::test::writeFile(socket, {}));
        else if (occupant == u"live")
            QVERIFY(live.listen(socket));

        norvale::app::InstanceServer server;
        QCOMPARE(server.listen(socket), listens);
        // A running instance is not cut off.
        if (occupant == u"live")
            QVERIFY(!norvale::app::forwardToRunningInstance(socket, {}, 500));
        else
            QCOMPARE(server.fullServerName(), socket);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
