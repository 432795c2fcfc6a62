#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace norvale;

namespace {

using Outcome = test::ProcessOutcome;

Outcome run(const QString &program, const QStringList &args,
            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    return test::runProgram(program, args, env);
}

int pdfPages(const QString &pdf)
{
    const Outcome o = run(u"pdfinfo"_qs, {pdf});
    for (const QString &line : o.out.split(u'\n')) {
        if (line.startsWith(u"Pages:"))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

QString pdfText(const QString &pdf) { return run(u"pdftotext"_qs, {pdf, u"-"_qs}).out; }

QString sample(const QString &name) { return test::dataDir() + u"/../../samples/"_qs + name; }

} // namespace

// Printing from the command line: into a PDF, and through a real print
// service (a private CUPS server) onto a queue that writes a PDF.
class TestPrinting : public QObject {
    Q_OBJECT

    QTemporaryDir m_cups;
    QString m_queue = u"Norvale_Test"_qs;
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
    bool m_cupsUp = false;

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"pdfinfo"_qs).isEmpty())
            QSKIP("poppler-utils is not installed");
        if (!QFile::exists(u"/usr/sbin/cupsd"_qs))
            return;
        const int port = 20000 + int(QRandomGenerator::global()->bounded(20000));
        const Outcome o = run(test::dataDir() + u"/../support/private-cups"_qs,
                              {u"start"_qs, m_cups.path(), QString::number(port), m_queue});
        m_cupsUp = o.status == 0;
        if (!m_cupsUp)
            qWarning("private CUPS did not start: %s", qPrintable(o.err));
        m_env.insert(u"CUPS_SERVER"_qs, QStringLiteral("127.0.0.1:%1").arg(port));
    }

    void cleanupTestCase()
    {
        run(test::dataDir() + u"/../support/private-cups"_qs, {u"stop"_qs, m_cups.path()});
    }

    // Puzzle pages, then solution sheets of six, in one PDF.
    void toPdf()
    {
        QTemporaryDir out;
        const QString pdf = out.filePath(u"week.pdf"_qs);
        const Outcome o = run(test::norvaleBinary(),
                              {u"--print-puzzles"_qs, u"--print-solutions"_qs, u"--pdf"_qs, pdf,
                               u"--page-size"_qs, u"Letter"_qs, sample(QString()),
                               test::dataDir() + u"/nyt_jul0719.puz"_qs});
        QCOMPARE(o.status, 0);
        // 5 puzzle pages and one sheet with 5 solutions.
        QCOMPARE(pdfPages(pdf), 6);
        const QString text = pdfText(pdf);
        for (const QString &s : {u"Rat Race, Norvale Samples"_qs, u"Across Clues"_qs,
                                 u"Down Clues"_qs, u"rat-race.puz"_qs, u"nyt_jul0719.puz"_qs})
            QVERIFY2(text.contains(s), qPrintable(s));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{u"week.pdf"_qs});
    }

    // The PDF is made like any other new file of the user's, not with a
    // temporary file's owner-only permissions; one it replaces keeps its own.
    void pdfPermissions()
    {
        QTemporaryDir out;
        QFile probe(out.filePath(u"probe"_qs));
        QVERIFY(probe.open(QIODevice::WriteOnly));
        const QString pdf = out.filePath(u"one.pdf"_qs);
        const QStringList args{u"--print-puzzles"_qs, u"--pdf"_qs, pdf, sample(u"three-by-three.puz"_qs)};

        QCOMPARE(run(test::norvaleBinary(), args).status, 0);
        QCOMPARE(QFile::permissions(pdf), probe.permissions());

        const QFile::Permissions kept = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                        | QFile::WriteUser | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(pdf, kept));
        QCOMPARE(run(test::norvaleBinary(), args).status, 0);
        QCOMPARE(QFile::permissions(pdf), kept);
    }

    // The PDF says what it holds: the puzzle's own title for one puzzle,
    // else the number of puzzles; and which program made it.
    void pdfTitleAndCreator_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("title");
        QTest::newRow("one puzzle") << QStringList{sample(u"rat-race.puz"_qs), test::dataDir() + u"/ONE_bad.puz"_qs}
                                    << u"Rat Race"_qs;
        QTest::newRow("several") << QStringList{sample(QString())} << u"Norvale: 4 puzzles"_qs;
    }

    void pdfTitleAndCreator()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QString, title);
        QTemporaryDir out;
        const QString pdf = out.filePath(u"x.pdf"_qs);
        const Outcome o = run(test::norvaleBinary(), QStringList{u"--print-solutions"_qs, u"--pdf"_qs, pdf} + inputs);
        QVERIFY(o.status == 0 || o.status == 1);
        const QString info = run(u"pdfinfo"_qs, {pdf}).out;
        QVERIFY2(info.contains(QRegularExpression(u"^Title: +"_qs + QRegularExpression::escape(title) + u"$"_qs,
                                                  QRegularExpression::MultilineOption)),
                 qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(u"^Creator: +Norvale \\d+\\.\\d+\\.\\d+$"_qs,
                                                  QRegularExpression::MultilineOption)),
                 qPrintable(info));
    }

    // A list without a readable puzzle prints nothing at all: no PDF, not
    // even an empty page, and the command says so.
    void nothingToPrint()
    {
        QTemporaryDir out;
        const QString notes = out.filePath(u"notes.txt"_qs);
        QVERIFY(test::writeFile(notes, "not a puzzle"));
        const QString pdf = out.filePath(u"x.pdf"_qs);
        const Outcome o = run(test::norvaleBinary(),
                              {u"--print-puzzles"_qs, u"--print-solutions"_qs, u"--pdf"_qs, pdf,
                               test::dataDir() + u"/ONE_bad.puz"_qs, notes});
        QCOMPARE(o.status, 1);
        QVERIFY2(o.err.contains(u"nothing to print: no entry of the list is a readable puzzle"_qs), qPrintable(o.err));
        QVERIFY2(o.err.contains(u"ONE_bad.puz: not a readable puzzle"_qs), qPrintable(o.err));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"notes.txt"_qs});
    }

    void pdfFailure()
    {
        const Outcome o = run(test::norvaleBinary(), {u"--print-puzzles"_qs, u"--pdf"_qs,
                                                      u"/no/such/folder/x.pdf"_qs, sample(QString())});
        QCOMPARE(o.status, 3);
        QVERIFY2(o.err.contains(u"/no/such/folder/x.pdf"_qs), qPrintable(o.err));
    }

    void toPrinter()
    {
        if (!m_cupsUp)
            QSKIP("no private CUPS server");
        const Outcome o = run(test::norvaleBinary(),
                              {u"--print-puzzles"_qs, u"--printer"_qs, m_queue,
                               sample(u"rat-race.puz"_qs), sample(u"bass-notes.puz"_qs)},
                              m_env);
        QVERIFY2(o.status == 0, qPrintable(o.err));
        // Wait until the queue has written the job's PDF.
        const QString pdf = m_cups.path() + u"/out/"_qs + m_queue + u".pdf"_qs;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 60000) {
            const Outcome jobs = run(u"lpstat"_qs, {u"-o"_qs, m_queue}, m_env);
            if (jobs.out.trimmed().isEmpty() && QFileInfo(pdf).size() > 0)
                break;
            QThread::msleep(200);
        }
        QCOMPARE(pdfPages(pdf), 2);
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(u"Rat Race"_qs) && text.contains(u"Bass Notes"_qs), qPrintable(text));
    }

    // A printer name the print service does not know, and no default
    // printer: both are refused before anything is read, naming the queues.
    void printerErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown name") << QStringList{u"--printer"_qs, u"Office_Laser"_qs};
        QTest::newRow("no default") << QStringList{};
    }

    void printerErrors()
    {
        QFETCH(QStringList, args);
        if (!m_cupsUp)
            QSKIP("no private CUPS server");
        const Outcome o = run(test::norvaleBinary(),
                              QStringList{u"--print-puzzles"_qs} + args + QStringList{sample(QString())},
                              m_env);
        QCOMPARE(o.status, 2);
        QVERIFY2(o.err.contains(m_queue) && o.err.contains(u"--pdf"_qs), qPrintable(o.err));
    }

    void unknownPageSize()
    {
        const Outcome o = run(test::norvaleBinary(), {u"--print-puzzles"_qs, u"--pdf"_qs, u"x.pdf"_qs,
                                                      u"--page-size"_qs, u"Huge"_qs, sample(QString())});
        QCOMPARE(o.status, 2);
        QVERIFY(o.err.contains(u"Huge"_qs));
    }
};

QTEST_GUILESS_MAIN(TestPrinting)
#include "tst_printing.moc"
