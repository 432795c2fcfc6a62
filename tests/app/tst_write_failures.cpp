#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
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
        QVERIFY(test::writeFile(
            QStringLiteral("%1/p%2.puz").arg(folder).arg(i, 3, 10, QLatin1Char('0')),
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
        QVERIFY2(test::readFile(dir + u'/' + name) == expected,
                 qPrintable(u"partial file "_qs + name));
    }
}

// The outputs of the puzzles of makePuzzles in the order a run writes them.
QStringList outputOrder(int n)
{
    QStringList names;
    for (int i = 0; i < n; ++i) {
        const QString puzzle = QStringLiteral("p%1.puz").arg(i, 3, 10, QLatin1Char('0'));
        names << puzzle + u".txt"_qs << puzzle + u".sol.txt"_qs;
    }
    return names;
}

// Names are given in list order: the files present are the first ones of
// the run's order, with no gap.
void checkPrefix(const QString &dir, const QStringList &order)
{
    const QStringList present = QDir(dir).entryList(QDir::Files);
    const QStringList expected = order.mid(0, present.size());
    QCOMPARE(QSet<QString>(present.begin(), present.end()),
             QSet<QString>(expected.begin(), expected.end()));
}

// A conversion process stopped by signalNumber after afterMs. True when the
// signal reached it while it ran.
bool stopConversion(const QStringList &args, int signalNumber, int afterMs)
{
    QProcess p;
    p.start(test::norvaleBinary(), args);
    if (!p.waitForStarted())
        return false;
    QThread::msleep(static_cast<unsigned long>(afterMs));
    ::kill(static_cast<pid_t>(p.processId()), signalNumber);
    if (!p.waitForFinished(60000))
        return false;
    if (signalNumber == SIGKILL)
        return p.exitStatus() == QProcess::CrashExit || p.exitCode() == 0;
    // A signal that comes before the program could set up its handler ends
    // it at once, before it has written anything.
    return p.exitStatus() == QProcess::CrashExit || p.exitCode() == 0 ||
           p.exitCode() == 128 + signalNumber;
}

bool canRunAs(const QString &binary)
{
    return QStandardPaths::findExecutable(u"setpriv"_qs).size() && getuid() == 0 &&
           test::runProgram(u"setpriv"_qs, {u"--reuid=65534"_qs, u"--regid=65534"_qs,
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
    // 1,000 puzzles: a conversion of 2,000 files.
    static constexpr int kMany = 1000;
    QString m_many;
    QString m_manyReference;
    // How long a whole conversion of them took, to stop others part way.
    qint64 m_manyMs = 0;

private Q_SLOTS:
    void initTestCase()
    {
        QFile::setPermissions(m_work.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                 QFileDevice::ExeOther);
        m_inputs = m_work.filePath(u"in"_qs);
        m_reference = m_work.filePath(u"reference"_qs);
        QVERIFY(QDir().mkpath(m_inputs));
        makePuzzles(m_inputs, 60);
        const test::ProcessOutcome o =
            test::runProgram(test::norvaleBinary(), {u"-q"_qs, u"--convert-to"_qs, m_reference,
                                                     u"--generate-solutions"_qs, m_inputs});
        QCOMPARE(o.status, 0);
        m_many = m_work.filePath(u"many"_qs);
        m_manyReference = m_work.filePath(u"many-reference"_qs);
        QVERIFY(QDir().mkpath(m_many));
        makePuzzles(m_many, kMany);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(
            test::runProgram(test::norvaleBinary(), {u"-q"_qs, u"--convert-to"_qs, m_manyReference,
                                                     u"--generate-solutions"_qs, m_many})
                .status,
            0);
        m_manyMs = clock.elapsed();
    }

    // A destination that fills up: a 64 KiB file system of its own.
    void diskFull_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("size");
        QTest::newRow("conversion") << u"--convert-to \"$1\" --generate-solutions"_qs << u"64k"_qs;
        QTest::newRow("pdf") << u"--print-puzzles --pdf \"$1/week.pdf\""_qs << u"64k"_qs;
        // Room for more than one group of 64 files: the disk fills in the
        // middle of a later group.
        QTest::newRow("conversion, later group")
            << u"--convert-to \"$1\" --generate-solutions"_qs << u"512k"_qs;
    }

    void diskFull()
    {
        QFETCH(QString, options);
        QFETCH(QString, size);
        if (getuid() != 0 || QStandardPaths::findExecutable(u"unshare"_qs).isEmpty())
            QSKIP("needs root and unshare for a private tmpfs");
        QTemporaryDir scratch;
        const QString mountPoint = scratch.filePath(u"small"_qs);
        const QString copy = scratch.filePath(u"small-copy"_qs);
        QVERIFY(QDir().mkpath(mountPoint));
        // The tmpfs lives in a mount namespace of its own; its content is
        // copied out before the namespace ends.
        const QString script = u"mount -t tmpfs -o size="_qs + size +
                               u" norvale-test \"$1\" || exit 100; \"$2\" -q "_qs + options +
                               u" \"$3\"; s=$?; cp -a \"$1\" \"$4\"; exit $s"_qs;
        const test::ProcessOutcome o =
            test::runProgram(u"unshare"_qs, {u"-m"_qs, u"sh"_qs, u"-c"_qs, script, u"sh"_qs,
                                             mountPoint, test::norvaleBinary(), m_inputs, copy});
        if (o.status == 100)
            QSKIP("tmpfs cannot be mounted here");
        QCOMPARE(o.status, 3);
        checkComplete(copy, m_reference);
        if (options.contains(u"pdf"_qs)) {
            QVERIFY2(QDir(copy).isEmpty(), qPrintable(o.err)); // no partial PDF
        } else {
            QVERIFY2(o.err.contains(u"cannot write "_qs + mountPoint) &&
                         o.err.contains(u"No space left"_qs),
                     qPrintable(o.err));
            QVERIFY(!QDir(copy).isEmpty());
            checkPrefix(copy, outputOrder(60));
            if (size != u"64k")
                QVERIFY(QDir(copy).entryList(QDir::Files).size() > 64);
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
        const QStringList asNobody = {u"--reuid=65534"_qs,
                                      u"--regid=65534"_qs,
                                      u"--clear-groups"_qs,
                                      test::norvaleBinary(),
                                      u"-q"_qs,
                                      u"--convert-to"_qs};

        test::ProcessOutcome o =
            test::runProgram(u"setpriv"_qs, asNobody + QStringList{locked, secret});
        QCOMPARE(o.status, 1); // the unreadable entry is skipped, nothing to write
        QVERIFY2(
            o.err.contains(u"zz-secret.puz: not a readable puzzle: the file cannot be opened"_qs),
            qPrintable(o.err));

        o = test::runProgram(u"setpriv"_qs,
                             asNobody + QStringList{locked, m_inputs + u"/p000.puz"_qs});
        QCOMPARE(o.status, 3);
        QVERIFY2(o.err.contains(locked + u"/p000.puz.txt"_qs), qPrintable(o.err));
        QVERIFY(QDir(locked).isEmpty());
        QCOMPARE(QDir(locked).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QFile::remove(secret);

        // A folder the user may write, holding an output of that name the
        // user may not write: it is not replaced, and nothing else is left.
        const QString shared = m_work.filePath(u"shared"_qs);
        QVERIFY(QDir().mkpath(shared));
        QVERIFY(QFile::setPermissions(shared, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                  QFileDevice::WriteOther | QFileDevice::ExeOther));
        const QString theirs = shared + u"/p000.puz.txt"_qs;
        QVERIFY(test::writeFile(theirs, "not yours")); // owned by root, 0644
        o = test::runProgram(u"setpriv"_qs,
                             asNobody + QStringList{shared, m_inputs + u"/p000.puz"_qs});
        QCOMPARE(o.status, 3);
        QVERIFY2(o.err.contains(theirs) && o.err.contains(u"not writable"_qs), qPrintable(o.err));
        QCOMPARE(test::readFile(theirs), QByteArray("not yours"));
        QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"p000.puz.txt"_qs});
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

    // A conversion of 2,000 files stopped at several moments. After SIGINT
    // or SIGTERM the files complete so far are committed; after SIGKILL,
    // every file under its name is complete. Either way the names present
    // are the first ones of the list order, and no temporary file is left:
    // into a new folder, an unnamed temporary file vanishes with the process.
    void stopManyFiles_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("percent"); // of the time a whole run takes
        for (int percent : {10, 40, 80}) {
            QTest::addRow("SIGINT at %d%%", percent) << SIGINT << percent;
            QTest::addRow("SIGTERM at %d%%", percent) << SIGTERM << percent;
        }
        for (int percent : {2, 10, 25, 40, 55, 70, 85, 95})
            QTest::addRow("SIGKILL at %d%%", percent) << SIGKILL << percent;
    }

    void stopManyFiles()
    {
        QFETCH(int, signalNumber);
        QFETCH(int, percent);
        QTemporaryDir out;
        QVERIFY(stopConversion(
            {u"-q"_qs, u"--convert-to"_qs, out.path(), u"--generate-solutions"_qs, m_many},
            signalNumber, int(m_manyMs * percent / 100)));
        checkComplete(out.path(), m_manyReference);
        checkPrefix(out.path(), outputOrder(kMany));
    }

    // SIGKILL while existing files are replaced: each name holds the old
    // file or the whole new one, never a mixture or a part. A replacement is
    // linked to a hidden name and renamed over the old file; a kill between
    // the two leaves that hidden name, with the complete new file under it.
    void killWhileReplacing_data()
    {
        QTest::addColumn<int>("percent"); // of the time a whole run takes
        for (int percent : {10, 30, 50, 70, 90})
            QTest::addRow("at %d%%", percent) << percent;
    }

    void killWhileReplacing()
    {
        QFETCH(int, percent);
        QTemporaryDir out;
        const QStringList order = outputOrder(kMany);
        for (const QString &name : order)
            QVERIFY(test::writeFile(out.filePath(name), "the file of an earlier run\r\n"));
        QVERIFY(stopConversion(
            {u"-q"_qs, u"--convert-to"_qs, out.path(), u"--generate-solutions"_qs, m_many}, SIGKILL,
            int(m_manyMs * percent / 100)));
        int replaced = 0;
        for (const QString &name : order) {
            const QByteArray now = test::readFile(out.filePath(name));
            if (now == test::readFile(m_manyReference + u'/' + name))
                ++replaced;
            else
                QVERIFY2(now == "the file of an earlier run\r\n", qPrintable(name));
        }
        // Replaced in list order: the new files are the first ones.
        for (int i = 0; i < order.size(); ++i) {
            const bool isNew = test::readFile(out.filePath(order.at(i))) ==
                               test::readFile(m_manyReference + u'/' + order.at(i));
            QVERIFY2(isNew == (i < replaced), qPrintable(order.at(i)));
        }
        const QStringList hidden = QDir(out.path())
                                       .entryList(QDir::Files | QDir::Hidden)
                                       .filter(QRegularExpression(u"^\\."_qs));
        QVERIFY2(hidden.size() <= 1, qPrintable(hidden.join(u", "_qs)));
        for (const QString &temp : hidden) {
            const QString name = temp.mid(1).section(u'.', 0, -2);
            QVERIFY2(order.contains(name), qPrintable(temp));
            QCOMPARE(test::readFile(out.filePath(temp)),
                     test::readFile(m_manyReference + u'/' + name));
        }
    }

    // A file system without O_TMPFILE (a FUSE mount of bindfs): the outputs
    // are written under hidden temporary names and renamed; an existing file
    // is replaced and keeps its permissions; no temporary file stays.
    void withoutUnnamedFiles()
    {
        if (getuid() != 0 || QStandardPaths::findExecutable(u"unshare"_qs).isEmpty() ||
            QStandardPaths::findExecutable(u"bindfs"_qs).isEmpty() ||
            !QFile::exists(u"/dev/fuse"_qs))
            QSKIP("needs root, unshare, bindfs and /dev/fuse for a FUSE mount");
        QTemporaryDir scratch;
        const QString backing = scratch.filePath(u"backing"_qs);
        const QString mountPoint = scratch.filePath(u"fuse"_qs);
        QVERIFY(QDir().mkpath(backing) && QDir().mkpath(mountPoint));
        const QString old = backing + u"/p001.puz.txt"_qs;
        QVERIFY(test::writeFile(old, "the file of an earlier run, longer than the new one"));
        QVERIFY(QFile::setPermissions(old, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        // bindfs serves the mount from this namespace until it is unmounted.
        const QString script =
            u"bindfs -f \"$1\" \"$2\" & fs=$!; n=0; "
            "until mountpoint -q \"$2\"; do n=$((n+1)); "
            "if [ $n -gt 200 ]; then kill $fs; wait $fs; exit 100; fi; sleep 0.05; done; "
            "\"$3\" -q --convert-to \"$2\" --generate-solutions \"$4\"; s=$?; "
            "umount \"$2\"; wait $fs; exit $s"_qs;
        const test::ProcessOutcome o =
            test::runProgram(u"unshare"_qs, {u"-m"_qs, u"sh"_qs, u"-c"_qs, script, u"sh"_qs,
                                             backing, mountPoint, test::norvaleBinary(), m_inputs});
        if (o.status == 100)
            QSKIP("bindfs cannot mount here");
        QCOMPARE(o.status, 0);
        checkComplete(backing, m_reference);
        QCOMPARE(QDir(backing).entryList(QDir::Files | QDir::Hidden).size(), 120);
        QCOMPARE(QFile::permissions(old) & 0x0FFF, QFileDevice::ReadUser | QFileDevice::WriteUser);
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
