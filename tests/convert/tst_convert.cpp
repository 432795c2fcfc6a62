#include "convert/convert.h"
#include "puzzle/reader.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace norvale;

Q_DECLARE_METATYPE(GroupCommitWriter::Temporaries)

namespace {

// Every entry of the folder, hidden ones included, but "." and "..".
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Both kinds of temporary file: unnamed (O_TMPFILE) and, as on a file system
// without it, hidden names.
void temporariesRows()
{
    QTest::addColumn<GroupCommitWriter::Temporaries>("temporaries");
    QTest::newRow("unnamed") << GroupCommitWriter::Temporaries::Unnamed;
    QTest::newRow("hidden names") << GroupCommitWriter::Temporaries::Hidden;
}

} // namespace

class TestConvert : public QObject {
    Q_OBJECT

private:
    static Puzzle tiny()
    {
        ReadResult r = readPuzzle(puzwriter::write(test::tinySource()), u"Sunday.puz"_qs);
        return *r.puzzle;
    }

private Q_SLOTS:
    void crossBowWorkedExample()
    {
        const QByteArray expected = "Tiny\r\n\r\nGrid\r\nWWB\r\nWWW\r\nBWW\r\n\r\nAcross\r\n"
                                    "1 Top row\r\n3 Middle row\r\n5 Bottom row\r\n\r\nDown\r\n"
                                    "1 Left\r\n2 Centre\r\n4 Right\r\n";
        QCOMPARE(expected.size(), 113);
        QCOMPARE(crossBowText(tiny()), expected);
    }

    void solutionWorkedExample()
    {
        const QByteArray expected = "Tiny, Solution\r\n\r\nA  B  -  \r\nC  D  E  \r\n-  F  G  \r\n";
        QCOMPARE(expected.size(), 51);
        QCOMPARE(solutionText(tiny()), expected);
    }

    void edgeCases()
    {
        Puzzle p = tiny();
        p.puz_title.clear();
        p.num_d.clear();
        p.clue_d.clear();
        p.clue_a[0] = QStringLiteral("Caf\u00e9");
        const QByteArray text = crossBowText(p);
        QVERIFY(text.startsWith("\r\n\r\nGrid\r\n"));
        QVERIFY(text.endsWith("\r\n\r\nDown\r\n"));
        QVERIFY(text.contains("1 Caf\xc3\xa9\r\n"));
        QVERIFY(solutionText(p).startsWith(", Solution\r\n\r\n"));
    }

    void writesBothFiles()
    {
        QTemporaryDir dir;
        const Puzzle p = tiny();
        // An older file of the same name is replaced without asking.
        QVERIFY(
            test::writeFile(dir.filePath(u"Sunday.puz.txt"_qs), "old content, longer than new"));
        QVERIFY(!MakeCrossBowPuzzle(p, dir.path(), true));
        QCOMPARE(test::readFile(dir.filePath(u"Sunday.puz.txt"_qs)), crossBowText(p));
        QCOMPARE(test::readFile(dir.filePath(u"Sunday.puz.sol.txt"_qs)), solutionText(p));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }

    void noSolutionUnlessAsked()
    {
        QTemporaryDir dir;
        Puzzle p = tiny();
        p.CurrentFileName = QStringLiteral("Sunday");
        QVERIFY(!MakeCrossBowPuzzle(p, dir.path(), false));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"Sunday.txt"_qs});
    }

    // A rebus square's group is its whole answer and two spaces; the
    // CrossBow grid still has one letter per cell.
    void rebusAnswers()
    {
        const ReadResult r =
            readPuzzleFile(test::dataDir() + u"/nyt_rebus_with_notes_and_shape.puz"_qs);
        QVERIFY2(r.ok(), qPrintable(r.error));
        const QByteArray text = solutionText(*r.puzzle);
        QCOMPARE(text.count("STAR  "), 3);
        const QByteArrayList lines = text.split('\n');
        QCOMPARE(lines.at(3), QByteArray("L  A  R  A  -  N  O  STAR  C  H  -  E  B  O  N  \r"));
        QCOMPARE(lines.at(9), QByteArray("C  O  L  A  -  L  O  STAR  T  S  -  S  A  R  S  \r"));
        QVERIFY(crossBowText(*r.puzzle).contains("\r\nWWWWBWWWWWBWWWW\r\n"));
    }

    // Without known letters the CrossBow file is written as for the plain
    // puzzle, and no solution file is.
    // Each text is encoded on its own, as toUtf8() encodes it: a clue that
    // ends in half of a surrogate pair does not swallow the next line, and
    // a whole pair stays whole.
    void textsEncodedOneByOne()
    {
        Puzzle p = tiny();
        p.clue_a[0] = u"Top"_qs + QChar(0xD83D);
        p.clue_a[1] = u"Middle \U0001F600"_qs;
        const QByteArray text = crossBowText(p);
        QVERIFY(text.contains("\r\n1 " + p.clue_a[0].toUtf8() + "\r\n3 " + p.clue_a[1].toUtf8()
                              + "\r\n5 Bottom row\r\n"));
    }

    void unknownSolution()
    {
        puzwriter::PuzzleSource source = test::tinySource();
        source.noSolution = true;
        ReadResult r = readPuzzle(puzwriter::write(source), u"Sunday.puz"_qs);
        QVERIFY(r.ok() && !r.puzzle->solutionKnown);
        QTemporaryDir dir;
        QVERIFY(!MakeCrossBowPuzzle(*r.puzzle, dir.path(), true));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"Sunday.puz.txt"_qs});
        QCOMPARE(test::readFile(dir.filePath(u"Sunday.puz.txt"_qs)), crossBowText(tiny()));
    }

    // Names appear only when their group is committed, all of them, in the
    // order the files were added; nothing else is left in the folder.
    void groupCommit_data() { temporariesRows(); }
    void groupCommit()
    {
        QFETCH(GroupCommitWriter::Temporaries, temporaries);
        QTemporaryDir dir;
        GroupCommitWriter out(dir.path(), {3, 60000}, temporaries);
        const auto visible = [&] { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); };
        QVERIFY(!out.add(u"a.txt"_qs, "first\r\n"));
        QVERIFY(!out.add(u"b.txt"_qs, QByteArray()));
        QCOMPARE(visible(), QStringList());
        // Only the hidden names of the other kind are there yet.
        QCOMPARE(entries(dir.path()).size(),
                 temporaries == GroupCommitWriter::Temporaries::Hidden ? 2 : 0);
        QVERIFY(!out.add(u"c.txt"_qs, QByteArray(100000, 'c'))); // the group is full
        QCOMPARE(out.pending(), 0);                              // and on its way
        QVERIFY(!out.add(u"d.txt"_qs, "fourth"));
        QCOMPARE(out.pending(), 1);
        QVERIFY(!out.commit());
        QVERIFY(!out.commit()); // nothing pending: nothing to do
        QCOMPARE(entries(dir.path()),
                 (QStringList{u"a.txt"_qs, u"b.txt"_qs, u"c.txt"_qs, u"d.txt"_qs}));
        QCOMPARE(test::readFile(dir.filePath(u"a.txt"_qs)), QByteArray("first\r\n"));
        QCOMPARE(test::readFile(dir.filePath(u"b.txt"_qs)), QByteArray());
        QCOMPARE(test::readFile(dir.filePath(u"c.txt"_qs)), QByteArray(100000, 'c'));
        QCOMPARE(modeOf(dir.filePath(u"d.txt"_qs)), newFileMode());
    }

    // What is not committed leaves nothing behind, under no name.
    void uncommittedLeavesNothing_data() { temporariesRows(); }
    void uncommittedLeavesNothing()
    {
        QFETCH(GroupCommitWriter::Temporaries, temporaries);
        QTemporaryDir dir;
        {
            GroupCommitWriter out(dir.path(), {}, temporaries);
            QVERIFY(!out.add(u"a.txt"_qs, "a"));
            out.discard();
            QVERIFY(!out.add(u"b.txt"_qs, "b"));
        }
        QCOMPARE(entries(dir.path()), QStringList());
    }

    // An existing file is replaced and keeps its permissions. A folder in
    // the way is an error naming the file; the files before it are named,
    // those after it are dropped, and no temporary file stays.
    void replacing_data() { temporariesRows(); }
    void replacing()
    {
        QFETCH(GroupCommitWriter::Temporaries, temporaries);
        QTemporaryDir dir;
        const QString kept = dir.filePath(u"kept.txt"_qs);
        QVERIFY(test::writeFile(kept, "old content, longer than the new"));
        QVERIFY(QFile::setPermissions(kept, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup));
        QVERIFY(QDir(dir.path()).mkdir(u"folder.txt"_qs));
        GroupCommitWriter out(dir.path(), {}, temporaries);
        QVERIFY(!out.add(u"kept.txt"_qs, "new"));
        QVERIFY(!out.add(u"folder.txt"_qs, "never"));
        QVERIFY(!out.add(u"after.txt"_qs, "dropped"));
        const std::optional<WriteError> error = out.commit();
        QVERIFY(error);
        QCOMPARE(error->path, dir.filePath(u"folder.txt"_qs));
        QCOMPARE(test::readFile(kept), QByteArray("new"));
        QCOMPARE(modeOf(kept), mode_t(0640));
        QVERIFY(QFileInfo(dir.filePath(u"folder.txt"_qs)).isDir());
        QCOMPARE(entries(dir.path()), (QStringList{u"folder.txt"_qs, u"kept.txt"_qs}));
    }

    // A group sent off that fails makes the next add or commit fail, and
    // no file added after the one that failed gets a name.
    void failureOfAGroupOnItsWay()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"folder.txt"_qs));
        GroupCommitWriter out(dir.path(), {2, 60000});
        QVERIFY(!out.add(u"a.txt"_qs, "a"));
        QVERIFY(!out.add(u"folder.txt"_qs, "in the way")); // the group is sent off
        QVERIFY(!out.add(u"c.txt"_qs, "c"));
        const std::optional<WriteError> error = out.add(u"d.txt"_qs, "d");
        QVERIFY(error);
        QCOMPARE(error->path, dir.filePath(u"folder.txt"_qs));
        QCOMPARE(out.pending(), 0);
        QVERIFY(!out.commit());
        QCOMPARE(entries(dir.path()), (QStringList{u"a.txt"_qs, u"folder.txt"_qs}));
        QCOMPARE(test::readFile(dir.filePath(u"a.txt"_qs)), QByteArray("a"));
    }

    // A destination that cannot take the file: the error names the file and
    // nothing partial is left behind.
    void failureNamesTheFile()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(u"gone"_qs);
        const auto error = MakeCrossBowPuzzle(tiny(), missing, true);
        QVERIFY(error);
        QVERIFY2(error->message().contains(u"Sunday.puz.txt"_qs), qPrintable(error->message()));
        QVERIFY(!error->reason.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
