#pragma once

namespace norvale::app {

// Starts the application with its main window; the files and folders named
// on the command line land in the file list. Returns the exit status.
int runWindow(int &argc, char **argv);

} // namespace norvale::app
