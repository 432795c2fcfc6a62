// "Go" from the main window: whole runs with stand-in dialogs, into a PDF
// file and a temporary folder.

#include "fakedialogs.h"
#include "testsupport.h"
#include "ui/winmain.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <csignal>
#include <memory>
#include <optional>

#include <sys/resource.h>

using norvale::ui::WinMain;
using namespace Qt::StringLiterals;

namespace {

// Records the status line each time it is painted with a new text, so a
// text that was set but never shown goes unseen.
class StatusWatch : public QObject {
public:
    explicit StatusWatch(QLabel *label) : m_label(label) { label->installEventFilter(this); }

    QStringList shown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint &&
            (shown.isEmpty() || shown.constLast() != m_label->text()))
            shown.append(m_label->text());
        return false;
    }

private:
    QLabel *m_label;
};

int pdfPages(const QString &path)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    const QString text = QString::fromLatin1(norvale::test::readFile(path));
    int count = 0;
    for (auto it = page.globalMatch(text); it.hasNext(); it.next())
        ++count;
    return count;
}

QStringList statuses(const QString &prefix, const QStringList &names)
{
    QStringList out;
    for (const QString &name : names)
        out.append(prefix + name + QStringLiteral("..."));
    return out;
}

QStringList names(const QString &pattern, int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out.append(pattern.arg(i));
    return out;
}

extern "C" void ignoreSignal(int) {}

// While it lasts, no file of the process can grow past the limit: writes
// beyond it fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, ignoreSignal);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class TestRun : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("in")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("out")));
        for (int i = 1; i <= 7; ++i) {
            norvale::puzwriter::PuzzleSource source = norvale::test::tinySource();
            source.title = QStringLiteral("Tiny %1").arg(i);
            QVERIFY(norvale::test::writeFile(in(QStringLiteral("p%1.puz").arg(i)),
                                             norvale::puzwriter::write(source)));
        }
        QVERIFY(norvale::test::writeFile(in(QStringLiteral("junk.txt")), "not a puzzle\n"));

        m_window = std::make_unique<WinMain>();
        m_dialogs = std::make_unique<norvale::test::FakeDialogs>();
        m_dialogs->folder = out();
        m_dialogs->pdf = pdf();
        m_window->setDialogs(m_dialogs.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_status = std::make_unique<StatusWatch>(m_window->LabStatus);
    }
    void cleanup()
    {
        m_status.reset();
        m_window.reset();
        m_dialogs.reset();
        m_dir.reset();
    }

    void wholeRun_data()
    {
        // Boxes ticked (of 1 to 5), the list's files in the input folder
        // ("missing.puz" does not exist), then what the run showed and made.
        QTest::addColumn<QString>("ticked");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<int>("progressMaximum");
        QTest::addColumn<int>("progressReached");
        QTest::addColumn<QStringList>("status");
        QTest::addColumn<int>("pages"); // -1: no print job
        QTest::addColumn<QStringList>("written");

        const QStringList five = names(QStringLiteral("p%1.puz"), 1, 5);
        QTest::newRow("5 files, puzzles and conversion")
            << u"14"_s << five << QStringList{u"folder"_s, u"pagesetup"_s, u"print"_s} << 10 << 10
            << statuses(QStringLiteral("Printing Puzzle "), five) + statuses(QStringLiteral("Converting "), five)
            << 5 << names(QStringLiteral("p%1.puz.txt"), 1, 5);
        QTest::newRow("conversion with solutions, no printing")
            << u"45"_s << QStringList{u"p1.puz"_s, u"p2.puz"_s} << QStringList{u"folder"_s} << 2 << 2
            << statuses(QStringLiteral("Converting "), {u"p1.puz"_s, u"p2.puz"_s}) << -1
            << QStringList{u"p1.puz.sol.txt"_s, u"p1.puz.txt"_s, u"p2.puz.sol.txt"_s, u"p2.puz.txt"_s};
        QTest::newRow("puzzles and solutions")
            << u"13"_s << QStringList{u"p1.puz"_s, u"p2.puz"_s, u"p3.puz"_s} << QStringList{u"pagesetup"_s, u"print"_s}
            << 6 << 6
            << statuses(QStringLiteral("Printing Puzzle "), {u"p1.puz"_s, u"p2.puz"_s, u"p3.puz"_s}) +
                   statuses(QStringLiteral("Printing Solution "), {u"p1.puz"_s, u"p2.puz"_s, u"p3.puz"_s})
            << 4 << QStringList{};
        QTest::newRow("seven solutions make two sheets")
            << u"3"_s << names(QStringLiteral("p%1.puz"), 1, 7) << QStringList{u"pagesetup"_s, u"print"_s} << 7 << 7
            << statuses(QStringLiteral("Printing Solution "), names(QStringLiteral("p%1.puz"), 1, 7)) << 2
            << QStringList{};
        // Unreadable entries are passed over; only the solution pass counts them.
        QTest::newRow("puzzles skip unreadable entries")
            << u"1"_s << QStringList{u"p1.puz"_s, u"junk.txt"_s, u"missing.puz"_s, u"p2.puz"_s}
            << QStringList{u"pagesetup"_s, u"print"_s} << 4 << 2
            << statuses(QStringLiteral("Printing Puzzle "), {u"p1.puz"_s, u"p2.puz"_s}) << 2 << QStringList{};
        QTest::newRow("solutions count unreadable entries")
            << u"3"_s << QStringList{u"p1.puz"_s, u"junk.txt"_s, u"missing.puz"_s, u"p2.puz"_s}
            << QStringList{u"pagesetup"_s, u"print"_s} << 4 << 4
            << statuses(QStringLiteral("Printing Solution "), {u"p1.puz"_s, u"p2.puz"_s}) << 1 << QStringList{};
        QTest::newRow("conversion skips unreadable entries")
            << u"4"_s << QStringList{u"junk.txt"_s, u"p1.puz"_s} << QStringList{u"folder"_s} << 2 << 1
            << statuses(QStringLiteral("Converting "), {u"p1.puz"_s}) << -1 << QStringList{u"p1.puz.txt"_s};
    }

    void wholeRun()
    {
        QFETCH(QString, ticked);
        QFETCH(QStringList, files);
        QFETCH(QStringList, dialogs);
        QFETCH(int, progressMaximum);
        QFETCH(int, progressReached);
        QFETCH(QStringList, status);
        QFETCH(int, pages);
        QFETCH(QStringList, written);

        WinMain &w = *m_window;
        tick(ticked);
        for (const QString &file : files)
            w.ReadFolderItem(QFileInfo(in(file)));
        int maximum = -1;
        int reached = 0;
        connect(w.ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            if (value > reached) {
                reached = value;
                maximum = w.ProgressBar1->maximum();
            }
        });

        w.cmdSend->click();

        QCOMPARE(m_dialogs->calls, dialogs);
        QCOMPARE(maximum, progressMaximum);
        QCOMPARE(reached, progressReached);
        const QStringList shown = QStringList{u"idle"_s, u"Waiting for user input..."_s} + status +
                                  QStringList{u"done"_s};
        QCOMPARE(m_status->shown, shown);
        if (pages < 0) {
            QVERIFY(!QFileInfo::exists(pdf()));
            QVERIFY(!w.ps);
        } else {
            QCOMPARE(pdfPages(pdf()), pages);
            QCOMPARE(m_dialogs->resolutionAtPageSetup, 144);
        }
        if (dialogs.contains(u"folder"))
            QCOMPARE(m_dialogs->folderTexts,
                     (QStringList{u"Select the Destination Folder"_s, u"Convert to CrossBow Format"_s, u"Select"_s, u""_s}));
        QCOMPARE(QDir(out()).entryList(QDir::Files | QDir::Hidden, QDir::Name), written);
        expectIdle(int(files.size()));
    }

    // The printer settings and the folder are offered again by the next run.
    void settingsKeptBetweenRuns()
    {
        WinMain &w = *m_window;
        tick(QStringLiteral("14"));
        w.ReadFolderItem(QFileInfo(in(QStringLiteral("p1.puz"))));
        w.cmdSend->click();
        QPrinter *printer = w.ps.get();
        QVERIFY(printer);
        m_dialogs->calls.clear();
        w.cmdSend->click();
        QCOMPARE(m_dialogs->calls, (QStringList{u"folder"_s, u"pagesetup"_s, u"print"_s}));
        QCOMPARE(m_dialogs->folderTexts.at(3), out());
        QCOMPARE(w.ps.get(), printer);
        QCOMPARE(w.destination, out());
    }

    void cancelDialog_data()
    {
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QStringList>("dialogs");
        QTest::newRow("folder") << u"folder"_s << QStringList{u"folder"_s};
        QTest::newRow("page setup") << u"pagesetup"_s << QStringList{u"folder"_s, u"pagesetup"_s};
        QTest::newRow("print") << u"print"_s << QStringList{u"folder"_s, u"pagesetup"_s, u"print"_s};
    }

    void cancelDialog()
    {
        QFETCH(QString, cancel);
        QFETCH(QStringList, dialogs);

        WinMain &w = *m_window;
        tick(QStringLiteral("134"));
        for (const QString &file : names(QStringLiteral("p%1.puz"), 1, 3))
            w.ReadFolderItem(QFileInfo(in(file)));
        m_dialogs->cancel = cancel;
        w.cmdSend->click();

        QCOMPARE(m_dialogs->calls, dialogs);
        QCOMPARE(m_status->shown, (QStringList{u"idle"_s, u"Waiting for user input..."_s, u"done"_s}));
        QVERIFY(QDir(out()).isEmpty());
        QCOMPARE(pdfPages(pdf()), 0);
        QCOMPARE(w.destination.isEmpty(), cancel == u"folder");
        QVERIFY(w.record.CurrentFileName.isEmpty());
        expectIdle(3);
    }

    void cancelDuringPuzzlePass_data()
    {
        QTest::addColumn<QString>("presses");
        QTest::newRow("Cancel") << u"cancel"_s;
        // The button reads "Go" again while the run is still winding down.
        QTest::newRow("Cancel, then Go at once") << u"cancel go"_s;
        QTest::newRow("window closed") << u"close"_s;
    }

    // Ending a run during the puzzle pass lets the page in hand finish and
    // reads nothing more; no second run starts on the same record and job.
    void cancelDuringPuzzlePass()
    {
        QFETCH(QString, presses);

        WinMain &w = *m_window;
        tick(u"14"_s);
        for (const QString &file : names(QStringLiteral("p%1.puz"), 1, 4))
            w.ReadFolderItem(QFileInfo(in(file)));
        bool pressed = false;
        connect(w.ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            if (value != 1 || pressed)
                return;
            pressed = true;
            QCOMPARE(w.cmdSend->text(), u"Cancel"_s);
            // Handled at the run's next yield, as a user's presses would be.
            for (const QString &press : presses.split(u' ')) {
                if (press == u"close")
                    QMetaObject::invokeMethod(&w, &QWidget::close, Qt::QueuedConnection);
                else
                    QMetaObject::invokeMethod(w.cmdSend, &QPushButton::click, Qt::QueuedConnection);
            }
        });

        w.cmdSend->click();

        QVERIFY(pressed);
        QCOMPARE(m_dialogs->calls, (QStringList{u"folder"_s, u"pagesetup"_s, u"print"_s}));
        QStringList shown{u"idle"_s, u"Waiting for user input..."_s, u"Printing Puzzle p1.puz..."_s};
        if (presses != u"close") // a closed window paints nothing more
            shown.append(u"done"_s);
        QCOMPARE(m_status->shown, shown);
        // The job was finished: the page in hand is in the file.
        QVERIFY(pdfPages(pdf()) >= 1);
        QVERIFY(QDir(out()).isEmpty());
        QVERIFY(!w.running());
        QCOMPARE(w.isVisible(), presses != u"close");
        expectIdle(4);
    }

    void failure_data()
    {
        QTest::addColumn<QString>("ticked");
        QTest::addColumn<QString>("detail"); // a part of the message's detail
        QTest::addColumn<QStringList>("written");
        // Where the print dialog sends the PDF, in the temporary folder.
        QTest::addColumn<QString>("pdfPath");
        // The largest file the run can write, as on a disk that fills up
        // (0: no limit).
        QTest::addColumn<int>("diskSpace");

        // p2's output name is taken by a folder.
        QTest::newRow("output cannot be written")
            << u"4"_s << u"p2.puz.txt"_s << QStringList{u"p1.puz.txt"_s} << u"nowhere/out.pdf"_s << 0;
        QTest::newRow("PDF cannot be written")
            << u"1"_s << u"nowhere"_s << QStringList{} << u"nowhere/out.pdf"_s << 0;
        // The PDF engine does not report failed writes; the file is checked.
        QTest::newRow("PDF on a full disk")
            << u"13"_s << u"run.pdf"_s << QStringList{} << u"run.pdf"_s << 4096;
    }

    void failure()
    {
        QFETCH(QString, ticked);
        QFETCH(QString, detail);
        QFETCH(QStringList, written);
        QFETCH(QString, pdfPath);
        QFETCH(int, diskSpace);

        WinMain &w = *m_window;
        tick(ticked);
        for (const QString &file : names(QStringLiteral("p%1.puz"), 1, 3))
            w.ReadFolderItem(QFileInfo(in(file)));
        QVERIFY(QDir(out()).mkdir(QStringLiteral("p2.puz.txt")));
        m_dialogs->pdf = m_dir->filePath(pdfPath);

        {
            std::optional<FileSizeLimit> disk;
            if (diskSpace > 0)
                disk.emplace(rlim_t(diskSpace));
            w.cmdSend->click();
        }

        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.at(0).text, QStringLiteral("An unhandled Exeption has occured"));
        QVERIFY2(m_dialogs->messages.at(0).detail.contains(detail),
                 qPrintable(m_dialogs->messages.at(0).detail));
        QCOMPARE(m_status->shown.constLast(), QStringLiteral("done"));
        QCOMPARE(QDir(out()).entryList(QDir::Files | QDir::Hidden, QDir::Name), written);
        QVERIFY(!QFileInfo::exists(m_dialogs->pdf)); // no broken PDF is left
        QVERIFY(!w.running());
        expectIdle(3);
    }

    // A list in which nothing is a readable puzzle starts no print job: no
    // empty page, no PDF; the run ends as usual.
    void nothingReadablePrintsNothing()
    {
        WinMain &w = *m_window;
        tick(u"13"_s);
        w.ReadFolderItem(QFileInfo(in(u"junk.txt"_s)));
        w.ReadFolderItem(QFileInfo(in(u"missing.puz"_s)));
        w.cmdSend->click();
        QCOMPARE(m_dialogs->calls, (QStringList{u"pagesetup"_s, u"print"_s}));
        QVERIFY(!QFileInfo::exists(pdf()));
        QCOMPARE(m_status->shown, (QStringList{u"idle"_s, u"Waiting for user input..."_s, u"done"_s}));
        expectIdle(2);
    }

    // The PDF printed from the window is named for its puzzle.
    void pdfNamedForItsPuzzle()
    {
        WinMain &w = *m_window;
        tick(u"1"_s);
        w.ReadFolderItem(QFileInfo(in(u"junk.txt"_s)));
        w.ReadFolderItem(QFileInfo(in(u"p3.puz"_s)));
        w.cmdSend->click();
        QCOMPARE(pdfPages(pdf()), 1);
        QCOMPARE(w.ps->docName(), u"Tiny 3"_s);
        QVERIFY(w.ps->creator().startsWith(u"Norvale "_s));
    }

    void emptyList()
    {
        WinMain &w = *m_window;
        w.cmdSend->click();
        QCOMPARE(m_dialogs->calls, QStringList{u"message"_s});
        QCOMPARE(m_dialogs->messages.at(0).text, QStringLiteral("No Files in List"));
        QCOMPARE(w.LabStatus->text(), QStringLiteral("idle"));
        QCOMPARE(w.cmdSend->text(), QStringLiteral("Go"));
        QCOMPARE(w.ProgressBar1->maximum(), 100);
    }

private:
    QString in(const QString &name) const { return m_dir->filePath(QStringLiteral("in/") + name); }
    QString out() const { return m_dir->filePath(QStringLiteral("out")); }
    QString pdf() const { return m_dir->filePath(QStringLiteral("run.pdf")); }

    void tick(const QString &boxes)
    {
        QCheckBox *all[] = {m_window->CheckBox1, m_window->CheckBox2, m_window->CheckBox3,
                            m_window->CheckBox4, m_window->CheckBox5};
        for (int n = 1; n <= 5; ++n)
            all[n - 1]->setChecked(boxes.contains(QChar(u'0' + n)));
    }

    // The window after a run: idle, nothing lost.
    void expectIdle(int rows)
    {
        WinMain &w = *m_window;
        QCOMPARE(w.cmdSend->text(), QStringLiteral("Go"));
        QCOMPARE(w.LabStatus->text(), QStringLiteral("done"));
        QCOMPARE(w.ProgressBar1->value(), 0);
        QCOMPARE(w.ProgressBar1->maximum(), 1);
        QVERIFY(w.ListBox1->isEnabled());
        QVERIFY(w.GroupBox1->isEnabled());
        QVERIFY(w.cancelled);
        QCOMPARE(w.ListBox1->topLevelItemCount(), rows);
        QCOMPARE(w.ListBox1->headerItem()->text(0), norvale::fileCountHeading(rows));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WinMain> m_window;
    std::unique_ptr<norvale::test::FakeDialogs> m_dialogs;
    std::unique_ptr<StatusWatch> m_status;
};

QTEST_MAIN(TestRun)
#include "tst_ui_run.moc"
