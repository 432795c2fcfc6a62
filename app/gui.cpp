#include "gui.h"

#include <cstdio>

namespace norvale::app {

int runWindow(int &argc, char **argv)
{
    (void)argc;
    (void)argv;
    std::fprintf(stderr, "norvale: the window is not available yet; use --convert-to.\n"
                         "Try 'norvale --help'.\n");
    return 2;
}

} // namespace norvale::app
