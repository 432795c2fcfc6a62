#pragma once

// The program: the batch command line (cli.h), the application object and
// start-up of the window (app.h, gui.h), one instance per user, thumbnails.
// Builds on ui/ and everything below it.

#include <QStringList>
#include <QTextStream>

namespace norvale::cli {

// Exit statuses of the batch command.
enum ExitStatus {
    ExitOk = 0,          // every entry was read
    ExitUnreadable = 1,  // the run finished, some entries were not readable puzzles
    ExitUsage = 2,       // bad options or printer name
    ExitWriteFailed = 3, // an output file or the print job failed
};

// True when the arguments ask for a batch run (or --help / --version), so
// that no window is opened.
bool isBatchCommand(const QStringList &arguments);

// True when the arguments ask for a thumbnail (and not for --help or
// --version). A thumbnail needs no application object: main() runs it
// before making one, which keeps its start quick.
bool isThumbnailCommand(const QStringList &arguments);

// The files and folders named in the arguments (for the window).
QStringList fileArguments(const QStringList &arguments);

// Runs the batch command. arguments[0] is the program name. progressIsTerminal
// selects the one-line progress bar instead of plain progress lines.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err, bool progressIsTerminal);

// Set from a signal handler: the run ends before its next entry.
void requestCancel(int signalNumber);

} // namespace norvale::cli
