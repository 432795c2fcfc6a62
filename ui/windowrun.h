#pragma once

#include "batch/batch.h"
#include "filelist/filelist.h"

#include <QList>
#include <QSet>
#include <QStringList>

class QPrinter;

namespace norvale::ui {

class WinMain;

// One press of "Go" carried out for the main window: the run's dialogs
// (destination folder, page setup, print), the print job, the batch run's
// passes with their progress shown in the window, and the message a failure
// leaves. The window keeps the record, the printer settings and the
// destination from run to run; the run uses them.
class WindowRun {
public:
    explicit WindowRun(WinMain &window) : m_window(window) {}

    // The passes the options ask for over the rows, from the window's
    // busy() to its done(). A call while a run is still returning (after
    // "Cancel") starts nothing.
    void start(const QList<FileRow> &rows, const BatchOptions &options);

    // File > Print Preview...: the pages "Go" would print with these rows
    // and options (puzzle pages and solution sheets; no conversion), in the
    // toolkit's preview dialog on the window's printer settings, so that a
    // page setup changed there is the next run's. Printing from the preview
    // prints the same pages.
    void preview(const QList<FileRow> &rows, const BatchOptions &options);

    // Draws the pages of the printing passes into the printer, as the
    // preview does: returns the number of puzzle pages and solutions drawn.
    int printPages(QPrinter &printer, const QList<FileRow> &rows, const BatchOptions &options);

    // True from the start of a run until it has returned, also while a
    // cancelled run is still winding down; also while the preview is open.
    bool running() const { return m_running; }

    // What the last run left out, one line each, as the command line says
    // it: the entries that are not readable puzzles, the solution files not
    // written, the file that could not be written. The status line shows it
    // as its tooltip, at most kReportLines lines.
    QStringList report() const { return m_report; }
    static constexpr int kReportLines = 50;

private:
    class Observer;

    void runPasses(const QList<FileRow> &rows, const BatchOptions &options);
    void addToReport(const QString &line);
    void showReport();

    WinMain &m_window;
    bool m_running = false;
    QStringList m_report;
    QSet<int> m_skippedPositions;
};

} // namespace norvale::ui
