#pragma once

#include "batch/batch.h"
#include "filelist/filelist.h"

#include <QList>

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

    // True from the start of a run until it has returned, also while a
    // cancelled run is still winding down.
    bool running() const { return m_running; }

private:
    class Observer;

    void runPasses(const QList<FileRow> &rows, const BatchOptions &options);

    WinMain &m_window;
    bool m_running = false;
};

} // namespace norvale::ui
