#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <unistd.h>

using namespace norvale;

namespace {

// n generated 21 x 21 puzzles in folder.
void makePuzzles(const QString &folder, int n)
{
    for (int i = 0; i < n; ++i) {
        puzwriter::PuzzleSource s;
        s.title = QStringLiteral("Puzzle %1").arg(i);
        for (int r = 0; r < 21; ++r) {
            QString row;
            for (int c = 0; c < 21; ++c)
                row += (r * 5 + c * 3 + i) % 9 == 0 ? u'.' : QChar(u'A' + (r * c + i) % 26);
            s.rows.append(row);
        }
        for (int k = 0; k < 400; ++k) {
            s.across.append(QStringLiteral("Across clue number %1 of puzzle %2").arg(k).arg(i));
            s.down.append(QStringLiteral("Down clue number %1 of puzzle %2").arg(k).arg(i));
        }
        QVERIFY(test::writeFile(QStringLiteral("%1/p%2.puz").arg(folder).arg(i, 3, 10, QLatin1Char('0')),
                                puzwriter::write(s)));
    }
}

// Every file in dir must equal the file of the same name in reference:
// complete, never partial, and nothing else (no temporary files).
void checkComplete(const QString &dir, const QString &reference)
{
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QByteArray expected = test::readFile(reference + u'/' + name);
        QVERIFY2(!expected.isEmpty(), qPrintable(u"unexpected file "_qs + name));
        QVERIFY2(test::readFile(dir + u'/' + name) == expected, qPrintable(u"partial file "_qs + name));
    }
}

bool canRunAs(const QString &binary)
{
    return QStandardPaths::findExecutable(u"setpriv"_qs).size() && getuid() == 0
           && test::runProgram(u"setpriv"_qs, {u"--reuid=65534"_qs, u"--regid=65534"_qs,
                                               u"--clear-groups"_qs, binary, u"--version"_qs})
                      .status == 0;
}

} // namespace

// Outputs that cannot be written, and runs that are stopped: the run ends
// with a clear message, and every output file present is complete.
class TestWriteFailures : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_inputs;
    QString m_reference;

private Q_SLOTS:
    void initTestCase()
    {
        QFile::setPermissions(m_work.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                 | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                 | QFileDevice::ExeOther);
        m_inputs = m_work.filePath(u"in"_qs);
        m_reference = m_work.filePath(u"reference"_qs);
        QVERIFY(QDir().mkpath(m_inputs));
        makePuzzles(m_inputs, 60);
        const test::ProcessOutcome o = test::runProgram(
            test::norvaleBinary(), {u"-q"_qs, u"--convert-to"_qs, m_reference, u"--generate-solutions"_qs, m_inputs});
        QCOMPARE(o.status, 0);
    }

    // A destination that fills up: a 64 KiB file system of its own.
    void diskFull_data()
    {
        QTest::addColumn<QString>("options");
        QTest::newRow("conversion") << u"--convert-to \"$1\" --generate-solutions"_qs;
        QTest::newRow("pdf") << u"--print-puzzles --pdf \"$1/week.pdf\""_qs;
    }

    void diskFull()
    {
        QFETCH(QString, options);
        if (getuid() != 0 || QStandardPaths::findExecutable(u"unshare"_qs).isEmpty())
            QSKIP("needs root and unshare for a private tmpfs");
        QTemporaryDir scratch;
        const QString mountPoint = scratch.filePath(u"small"_qs);
        const QString copy = scratch.filePath(u"small-copy"_qs);
        QVERIFY(QDir().mkpath(mountPoint));
        // The tmpfs lives in a mount namespace of its own; its content is
        // copied out before the namespace ends.
        const QString script = u"mount -t tmpfs -o size=64k norvale-test \"$1\" || exit 100; "
                               "\"$2\" -q "_qs
                               + options
                               + u" \"$3\"; s=$?; cp -a \"$1\" \"$4\"; exit $s"_qs;
        const test::ProcessOutcome o = test::runProgram(
            u"unshare"_qs, {u"-m"_qs, u"sh"_qs, u"-c"_qs, script, u"sh"_qs, mountPoint,
                            test::norvaleBinary(), m_inputs, copy});
        if (o.status == 100)
            QSKIP("tmpfs cannot be mounted here");
        QCOMPARE(o.status, 3);
        checkComplete(copy, m_reference);
        if (options.contains(u"pdf"_qs)) {
            QVERIFY2(QDir(copy).isEmpty(), qPrintable(o.err)); // no partial PDF
        } else {
            QVERIFY2(o.err.contains(u"cannot write "_qs + mountPoint)
                         && o.err.contains(u"No space left"_qs),
                     qPrintable(o.err));
            QVERIFY(!QDir(copy).isEmpty());
        }
    }

    // A destination the user may not write, and an input the user may not read.
    void permissions()
    {
        if (!canRunAs(test::norvaleBinary()))
            QSKIP("cannot run the program as another user here");
        const QString locked = m_work.filePath(u"locked"_qs);
        QVERIFY(QDir().mkpath(locked)); // owned by root, 0755
        const QString secret = m_inputs + u"/zz-secret.puz"_qs;
        QVERIFY(test::writeFile(secret, puzwriter::write(test::tinySource())));
        QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QStringList asNobody = {u"--reuid=65534"_qs, u"--regid=65534"_qs, u"--clear-groups"_qs,
                                      test::norvaleBinary(), u"-q"_qs, u"--convert-to"_qs};

        test::ProcessOutcome o = test::runProgram(u"setpriv"_qs, asNobody + QStringList{locked, secret});
        QCOMPARE(o.status, 1); // the unreadable entry is skipped, nothing to write
        QVERIFY2(o.err.contains(u"zz-secret.puz: not a readable puzzle: the file cannot be opened"_qs),
                 qPrintable(o.err));

        o = test::runProgram(u"setpriv"_qs, asNobody + QStringList{locked, m_inputs + u"/p000.puz"_qs});
        QCOMPARE(o.status, 3);
        QVERIFY2(o.err.contains(locked + u"/p000.puz.txt"_qs), qPrintable(o.err));
        QVERIFY(QDir(locked).isEmpty());
        QFile::remove(secret);
    }

    // SIGINT or SIGTERM at any moment: the run stops before its next entry
    // and every file it leaves is complete.
    void signals_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("afterMs");
        for (int ms : {5, 40, 120, 300}) {
            QTest::addRow("SIGINT after %d ms", ms) << SIGINT << ms;
            QTest::addRow("SIGTERM after %d ms", ms) << SIGTERM << ms;
        }
    }

    void signals()
    {
        QFETCH(int, signalNumber);
        QFETCH(int, afterMs);
        QTemporaryDir out;
        QProcess p;
        p.start(test::norvaleBinary(), {u"-q"_qs, u"--convert-to"_qs, out.path(),
                                        u"--generate-solutions"_qs, m_inputs, m_inputs, m_inputs});
        QVERIFY(p.waitForStarted());
        QThread::msleep(static_cast<unsigned long>(afterMs));
        ::kill(static_cast<pid_t>(p.processId()), signalNumber);
        QVERIFY(p.waitForFinished(60000));
        // A signal that comes before the program could set up its handler
        // ends it at once, before it has written anything.
        if (p.exitStatus() == QProcess::CrashExit)
            QVERIFY(QDir(out.path()).isEmpty());
        else
            QVERIFY2(p.exitCode() == 0 || p.exitCode() == 128 + signalNumber,
                     qPrintable(QString::number(p.exitCode())));
        checkComplete(out.path(), m_reference);
    }

    // A print job stopped halfway leaves no PDF at all, and no partial one.
    void stoppedPdf()
    {
        QTemporaryDir out;
        const QString pdf = out.filePath(u"week.pdf"_qs);
        QProcess p;
        p.start(test::norvaleBinary(), {u"-q"_qs, u"--print-puzzles"_qs, u"--print-solutions"_qs,
                                        u"--pdf"_qs, pdf, m_inputs, m_inputs});
        QVERIFY(p.waitForStarted());
        QThread::msleep(400);
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(60000));
        if (p.exitCode() == 0) {
            QVERIFY(QFile::exists(pdf)); // finished before the signal: a whole PDF
        } else {
            QCOMPARE(p.exitCode(), 128 + SIGINT);
            QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TestWriteFailures)
#include "tst_write_failures.moc"
