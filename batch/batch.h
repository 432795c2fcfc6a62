#pragma once

// The batch run: the options, the puzzle, solution and conversion passes
// over the list, and what a run reports to the window or the command line.
// Builds on puzzle/, filelist/, print/ and convert/.

#include "filelist/filelist.h"
#include "print/surface.h"
#include "puzzle/puzzle.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace norvale {

// The option boxes as a run reads them.
struct BatchOptions {
    bool printPuzzles = false;      // CheckBox1
    bool gridAtBottom = false;      // CheckBox2
    bool printSolutions = false;    // CheckBox3
    bool convert = false;           // CheckBox4
    bool generateSolutions = false; // CheckBox5

    bool prints() const { return printPuzzles || printSolutions; }
    bool anyPass() const { return printPuzzles || printSolutions || convert; }
};

// Reads the row at 1-based list position p into record. Returns the file's
// name, or an empty text when the row is not a readable puzzle; the record
// is then left as it was and reason (when given) says why.
QString ParsePuzzle(const QList<FileRow> &rows, int p, Puzzle &record, QString *reason = nullptr);

// What a run tells the one who started it.
class BatchObserver {
public:
    virtual ~BatchObserver() = default;
    // "Printing Puzzle NAME...", "Printing Solution NAME...", "Converting NAME..."
    virtual void status(const QString & /*text*/) {}
    virtual void progress(int /*value*/, int /*maximum*/) {}
    // An entry that is not a readable puzzle, once per pass that met it.
    virtual void skipped(int /*position*/, const FileRow & /*row*/, const QString & /*reason*/) {}
    // A readable entry whose solution letters are not known (locked with no
    // key that fits, or not in the file), once per pass that needed them:
    // what the pass did without them, "the solution is locked; ...".
    virtual void solutionUnknown(int /*position*/, const FileRow & /*row*/,
                                 const QString & /*what*/)
    {
    }
    // Called once per list position of every pass.
    virtual void yield() {}
    // Tested before each list position; once true, the run ends.
    virtual bool cancelled() { return false; }
};

struct BatchResult {
    int progressMaximum = 0;
    int progressValue = 0;
    // Puzzle pages and solutions drawn: a print job with none is no job.
    int printed = 0;
    bool cancelled = false;
    // Set when an output could not be written or the printer failed; the
    // run stopped there.
    std::optional<QString> failure;
};

// What a print job of the rows will hold, found before the job is opened:
// the number of entries that are readable puzzles and the first one's
// title. A job without a puzzle is not started at all.
struct PrintJobContents {
    int puzzles = 0;
    QString firstTitle;
    bool cancelled = false;

    // The job's (and its PDF's) title: the puzzle's own title when it holds
    // one, else "Norvale: N puzzles".
    QString documentTitle() const;
};

// Reads every row once, as a pass does: each position passes the
// observer's yield point and cancel test, and an unreadable entry is
// reported as skipped.
PrintJobContents surveyPrintJob(const QList<FileRow> &rows, BatchObserver &observer);

// The message of a run that had something to print but found no puzzle.
QString nothingToPrintMessage();

// One batch run over the rows, in list order: the puzzle pass, the
// solution pass and the conversion pass, as the options say. The record is
// refilled for every entry of every pass. Printing passes draw on the given
// surface, which the caller opened for the whole job; the run starts the
// pages between puzzles and sheets, each just before it is drawn on, so no
// job ends with an empty page.
class BatchRun {
public:
    BatchRun(const QList<FileRow> &rows, const BatchOptions &options, Puzzle &record,
             BatchObserver &observer);

    void setDestination(const QString &folder) { m_destination = folder; }
    void setPrintTarget(Surface *surface, const PageSetup &page)
    {
        m_surface = surface;
        m_page = page;
    }

    // The progress bar's maximum: the list's length once per ticked pass.
    static int progressTotal(const BatchOptions &options, int entries);

    BatchResult run();

private:
    bool readablePass(const QString &doing, const std::function<bool(int)> &work);
    bool puzzlePass();
    bool solutionPass();
    bool conversionPass();
    QString read(int position);
    bool startPendingPage();
    bool mayContinue();
    void step();

    const QList<FileRow> &m_rows;
    BatchOptions m_options;
    Puzzle &m_record;
    BatchObserver &m_observer;
    QString m_destination;
    Surface *m_surface = nullptr;
    PageSetup m_page;
    BatchResult m_result;
    int m_count = 0;
    bool m_pageBreakPending = false;
};

} // namespace norvale
