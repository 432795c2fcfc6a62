#include "print/layout.h"
#include "print/paintersurface.h"
#include "printtestsupport.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// Puzzles printed through QPrinter into a PDF, read back with poppler's
// tools: what a user gets on paper.
class TestPrintPdf : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void puzzlesAndSolutionsToPdf()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        const QString pdffonts = QStandardPaths::findExecutable(QStringLiteral("pdffonts"));
        if (pdftotext.isEmpty() || pdfinfo.isEmpty() || pdffonts.isEmpty())
            QSKIP("poppler-utils (pdftotext, pdfinfo, pdffonts) are not installed");

        QList<Puzzle> puzzles;
        for (const char *name : {"nyt_weekday_with_notes.puz", "wsj110624.puz"}) {
            const ReadResult read = readPuzzleFile(test::dataDir() + u'/' + QString::fromLatin1(name));
            QVERIFY2(read.ok(), qPrintable(read.error));
            puzzles.append(*read.puzzle);
        }
        puzzles.append(test::tinyPuzzle());

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("week.pdf"));
        {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(QPageSize::Letter));
            const PageSetup page = printerPageSetup(printer);
            QPainterSurface surface(&printer);
            QVERIFY(surface.isActive());
            for (const Puzzle &puzzle : puzzles) {
                PrintPuzzle(surface, puzzle, page, false);
                QVERIFY(surface.NextPage());
            }
            for (qsizetype i = 0; i < puzzles.size(); ++i)
                PrintSolutions(surface, puzzles.at(i), page, int((i + 1) % 6));
            QVERIFY(surface.finish());
        }

        QVERIFY(run(pdfinfo, {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+4\\n"))));
        for (qsizetype i = 0; i < puzzles.size(); ++i) {
            const QString pageNumber = QString::number(i + 1);
            const QString text = run(pdftotext, {QStringLiteral("-f"), pageNumber, QStringLiteral("-l"), pageNumber, pdf,
                                                 QStringLiteral("-")})
                                     .simplified();
            const Puzzle &puzzle = puzzles.at(i);
            QVERIFY2(text.contains(puzzle.puz_title.simplified()), qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("Across Clues")));
            QVERIFY(text.contains(QStringLiteral("Down Clues")));
            QVERIFY(text.contains(puzzle.CurrentFileName));
            QVERIFY(text.contains(puzzle.clue_d.constLast().simplified().left(20)));
        }
        const QString sheet = run(pdftotext, {QStringLiteral("-f"), QStringLiteral("4"), pdf, QStringLiteral("-")}).simplified();
        for (const Puzzle &puzzle : puzzles)
            QVERIFY2(sheet.contains(puzzle.puz_title.simplified()), qPrintable(sheet));
        QVERIFY(!sheet.contains(QStringLiteral("Across Clues")));

        // Each face is embedded once for the whole document.
        const QStringList fonts = run(pdffonts, {pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
        QCOMPARE(fonts.size(), 2); // regular and bold
        for (const QString &font : fonts) {
            QVERIFY2(font.contains(QStringLiteral("LiberationSans")), qPrintable(font));
            QVERIFY2(font.contains(QStringLiteral(" yes ")), qPrintable(font));
        }
    }

    // A PDF job has delivered only when its file came out whole; a file
    // cut short is not.
    void deliveredOnlyWhenComplete()
    {
        QTemporaryDir dir;
        const auto printTo = [](const QString &path) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            const PageSetup page = printerPageSetup(printer);
            QPainterSurface surface(&printer);
            if (surface.isActive()) {
                PrintPuzzle(surface, test::tinyPuzzle(), page, false);
                surface.finish();
            }
            return printJobDelivered(printer);
        };
        const QString pdf = dir.filePath(QStringLiteral("whole.pdf"));
        QVERIFY(printTo(pdf));
        QVERIFY(pdfComplete(pdf));

        QFile whole(pdf);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        QFile cut(dir.filePath(QStringLiteral("cut.pdf")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        QVERIFY(cut.write(bytes.left(bytes.size() - 64)) == bytes.size() - 64);
        cut.close();
        QVERIFY(!pdfComplete(cut.fileName()));
        QVERIFY(!pdfComplete(dir.filePath(QStringLiteral("missing.pdf"))));
    }
};

QTEST_MAIN(TestPrintPdf)
#include "tst_print_pdf.moc"
