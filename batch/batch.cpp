#include "batch.h"

#include "convert/convert.h"
#include "print/layout.h"
#include "puzzle/reader.h"

namespace norvale {

QString ParsePuzzle(const QList<FileRow> &rows, int p, Puzzle &record, QString *reason)
{
    if (p < 1 || p > rows.size()) {
        if (reason)
            *reason = QStringLiteral("no such list position");
        return {};
    }
    ReadResult result = readPuzzleFile(rows.at(p - 1).path());
    if (!result.ok()) {
        if (reason)
            *reason = result.error;
        return {};
    }
    record = std::move(*result.puzzle);
    return record.CurrentFileName;
}

QString PrintJobContents::documentTitle() const
{
    return puzzles == 1 ? firstTitle : QStringLiteral("Norvale: %1 puzzles").arg(puzzles);
}

PrintJobContents surveyPrintJob(const QList<FileRow> &rows, BatchObserver &observer)
{
    PrintJobContents contents;
    Puzzle record;
    for (int i = 1; i <= int(rows.size()); ++i) {
        observer.yield();
        if (observer.cancelled()) {
            contents.cancelled = true;
            break;
        }
        QString reason;
        if (ParsePuzzle(rows, i, record, &reason).isEmpty()) {
            observer.skipped(i, rows.at(i - 1), reason);
            continue;
        }
        if (++contents.puzzles == 1)
            contents.firstTitle = record.puz_title;
    }
    return contents;
}

QString nothingToPrintMessage()
{
    return QStringLiteral("nothing to print: no entry of the list is a readable puzzle");
}

BatchRun::BatchRun(const QList<FileRow> &rows, const BatchOptions &options, Puzzle &record,
                   BatchObserver &observer)
    : m_rows(rows), m_options(options), m_record(record), m_observer(observer)
{
}

int BatchRun::progressTotal(const BatchOptions &options, int entries)
{
    return entries *
           (int(options.printPuzzles) + int(options.printSolutions) + int(options.convert));
}

BatchResult BatchRun::run()
{
    m_result = {};
    m_count = 0;
    m_pageBreakPending = false;
    m_result.progressMaximum = progressTotal(m_options, int(m_rows.size()));
    m_observer.progress(0, m_result.progressMaximum);

    // Each pass ends at once when a position finds the run cancelled or an
    // output failed; every later pass then ends at its first test.
    bool goOn = true;
    if (goOn && m_options.printPuzzles)
        goOn = puzzlePass();
    if (goOn && m_options.printSolutions)
        goOn = solutionPass();
    if (goOn && m_options.convert)
        goOn = conversionPass();
    m_result.progressValue = m_count;
    return m_result;
}

QString BatchRun::read(int position)
{
    QString reason;
    const QString name = ParsePuzzle(m_rows, position, m_record, &reason);
    if (name.isEmpty())
        m_observer.skipped(position, m_rows.at(position - 1), reason);
    return name;
}

// Before each list position: the caller's yield point, then the cancel test.
bool BatchRun::mayContinue()
{
    m_observer.yield();
    if (m_observer.cancelled()) {
        m_result.cancelled = true;
        return false;
    }
    return true;
}

void BatchRun::step()
{
    ++m_count;
    m_observer.progress(m_count, m_result.progressMaximum);
}

// The shape of the puzzle pass and the conversion pass: every readable
// entry gets its status line ("Printing Puzzle NAME..."), the pass's work
// and one progress step; an unreadable one is passed over, neither shown nor
// counted. False when the run was cancelled or the work failed.
bool BatchRun::readablePass(const QString &doing, const std::function<bool(int)> &work)
{
    const int entries = int(m_rows.size());
    for (int i = 1; i <= entries; ++i) {
        if (!mayContinue())
            return false;
        if (read(i).isEmpty())
            continue;
        m_observer.status(doing + m_record.CurrentFileName + QStringLiteral("..."));
        if (!work(i))
            return false;
        step();
    }
    return true;
}

bool BatchRun::puzzlePass()
{
    const int entries = int(m_rows.size());
    return readablePass(QStringLiteral("Printing Puzzle "), [this, entries](int i) {
        if (!startPendingPage())
            return false;
        PrintPuzzle(*m_surface, m_record, m_page, m_options.gridAtBottom);
        ++m_result.printed;
        if (i < entries || m_options.printSolutions)
            m_pageBreakPending = true;
        return true;
    });
}

bool BatchRun::solutionPass()
{
    const int entries = int(m_rows.size());
    for (int i = 1; i <= entries; ++i) {
        if (!mayContinue())
            return false;
        if (!read(i).isEmpty()) {
            m_observer.status(
                QStringLiteral("Printing Solution %1...").arg(m_record.CurrentFileName));
            if (!startPendingPage())
                return false;
            PrintSolutions(*m_surface, m_record, m_page, i % 6);
            ++m_result.printed;
            if (!m_record.solutionKnown)
                m_observer.solutionUnknown(i, m_rows.at(i - 1),
                                           QStringLiteral("the solution is locked; its solution sheet shows no letters"));
        }
        // Slots follow list positions: an unreadable entry leaves its slot
        // empty, and the sheet still turns after every sixth position.
        if (i < entries && i % 6 == 0)
            m_pageBreakPending = true;
        step();
    }
    return true;
}

// A page break is started only when something is drawn after it, so a run
// that is cancelled, or whose last entries are unreadable, ends without an
// empty page.
bool BatchRun::startPendingPage()
{
    if (!m_pageBreakPending)
        return true;
    m_pageBreakPending = false;
    if (m_surface->NextPage())
        return true;
    m_result.failure = QStringLiteral("the printer failed to start a new page");
    return false;
}

// The outputs are committed in groups. Whether the pass ends at its last
// entry, on a cancel or at a write that failed, the files that are complete
// by then are committed and named; nothing half written stays.
bool BatchRun::conversionPass()
{
    GroupCommitWriter out(m_destination);
    const bool finished = readablePass(QStringLiteral("Converting "), [this, &out](int i) {
        if (auto error = MakeCrossBowPuzzle(m_record, out, m_options.generateSolutions)) {
            m_result.failure = error->message();
            return false;
        }
        if (m_options.generateSolutions && !m_record.solutionKnown)
            m_observer.solutionUnknown(i, m_rows.at(i - 1),
                                       QStringLiteral("the solution is locked; no solution file written"));
        return true;
    });
    if (auto error = out.commit(); error && !m_result.failure)
        m_result.failure = error->message();
    return finished && !m_result.failure;
}

} // namespace norvale
