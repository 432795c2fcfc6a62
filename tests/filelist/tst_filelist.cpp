#include "filelist/filelist.h"
#include "filelist/filetypes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace norvale;

namespace {

class Rows : public FileListSink {
public:
    void addRow(const FileRow &row) override { rows.append(row); }
    void updatefilecount() override { ++refreshes; }
    QList<FileRow> rows;
    int refreshes = 0;

    QStringList shown() const
    {
        QStringList out;
        for (const FileRow &r : rows)
            out.append(r.shown);
        return out;
    }
};

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

class TestFileList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { FileTypes::_InitFileTypes(); }

    void heading_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << u"0 Files"_qs;
        QTest::newRow("one") << 1 << u"1 File"_qs;
        QTest::newRow("many") << 15 << u"15 Files"_qs;
    }
    void heading()
    {
        QFETCH(int, rows);
        QFETCH(QString, text);
        QCOMPARE(fileCountHeading(rows), text);
    }

    void fileTypes()
    {
        QCOMPARE(FileTypes::pSpecialAny().typeCode, u"????"_qs);
        QCOMPARE(FileTypes::pSpecialFolder().name, u"special/folder"_qs);
        QCOMPARE(FileTypes::pSpecialDisk().creatorCode, u"MACS"_qs);
        QTemporaryDir dir;
        touch(dir.filePath(u"f"_qs));
        QCOMPARE(FileTypes::Type(QFileInfo(dir.filePath(u"f"_qs))), u"special/any"_qs);
        QCOMPARE(FileTypes::Type(QFileInfo(dir.path())), u"special/folder"_qs);
        QCOMPARE(FileTypes::Type(QFileInfo(u"/"_qs)), u"special/disk"_qs);
        QCOMPARE(FileTypes::Type(QFileInfo(dir.filePath(u"missing"_qs))), QString());
    }

    // Depth first, each folder in name order, hidden files skipped, rows
    // carrying the folder part and the name part of each path.
    void walkOrderAndRows()
    {
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(u"B/deeper"_qs));
        QVERIFY(root.mkpath(u"empty"_qs));
        QVERIFY(root.mkpath(u".hidden-folder"_qs));
        touch(root.filePath(u"a.puz"_qs));
        touch(root.filePath(u"B/b.puz"_qs));
        touch(root.filePath(u"B/deeper/d.puz"_qs));
        touch(root.filePath(u"c.puz"_qs));
        touch(root.filePath(u".DS_Store"_qs));
        touch(root.filePath(u".hidden-folder/h.puz"_qs));
        touch(root.filePath(u"notes.txt"_qs));
        touch(root.filePath(u"odd: name\nwith newline.puz"_qs));
        QCOMPARE(mkfifo(QFile::encodeName(root.filePath(u"pipe"_qs)).constData(), 0600), 0);
        QVERIFY(QFile::link(root.filePath(u"nowhere"_qs), root.filePath(u"dangling"_qs)));

        Rows sink;
        ReadFolderItem(QFileInfo(dir.path()), sink);
        QCOMPARE(sink.shown(), (QStringList{u"h.puz"_qs, u"b.puz"_qs, u"d.puz"_qs, u"a.puz"_qs,
                                            u"c.puz"_qs, u"notes.txt"_qs,
                                            u"odd: name\nwith newline.puz"_qs}));
        const QString folder = root.absolutePath() + u'/';
        QCOMPARE(sink.rows.at(3), (FileRow{u"a.puz"_qs, u"a.puz"_qs, folder}));
        QCOMPARE(sink.rows.at(1).folder, folder + u"B/"_qs);
        QCOMPARE(sink.rows.at(6).path(), root.filePath(u"odd: name\nwith newline.puz"_qs));
        QVERIFY(QFileInfo::exists(sink.rows.at(6).path()));
        QVERIFY(sink.refreshes >= 4); // the count follows nested folders
    }

    void singleItems()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"Sunday.puz"_qs);
        touch(file);
        touch(dir.filePath(u".hidden.puz"_qs));
        Rows sink;
        ReadFolderItem(QFileInfo(file), sink);
        ReadFolderItem(QFileInfo(file), sink); // the same file twice: two rows
        ReadFolderItem(QFileInfo(dir.filePath(u".hidden.puz"_qs)), sink);
        ReadFolderItem(QFileInfo(dir.filePath(u"empty"_qs)), sink);
        QCOMPARE(sink.rows.size(), 3); // a missing file is still listed, as a drop would
        QCOMPARE(sink.rows.at(0), (FileRow{u"Sunday.puz"_qs, QString(), file}));
        QCOMPARE(sink.rows.at(0).path(), file);
        QCOMPARE(sink.refreshes, 4);
    }

    void symbolicLinkLoop()
    {
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(u"a/b"_qs));
        touch(root.filePath(u"a/b/x.puz"_qs));
        QVERIFY(QFile::link(root.filePath(u"a"_qs), root.filePath(u"a/b/loop"_qs)));
        QVERIFY(QFile::link(root.filePath(u"a/b/loop"_qs), root.filePath(u"a/self"_qs)));
        Rows sink;
        ReadFolderItem(QFileInfo(dir.path()), sink);
        QCOMPARE(sink.shown(), QStringList{u"x.puz"_qs});
    }
};

QTEST_GUILESS_MAIN(TestFileList)
#include "tst_filelist.moc"
