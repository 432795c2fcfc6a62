#include "gui.h"

#include "cli.h"

#include "filelist/filetypes.h"
#include "ui/winmain.h"

#include <QApplication>
#include <QFileInfo>

namespace norvale::app {

int runWindow(int &argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("norvale"));
    FileTypes::_InitFileTypes();

    ui::WinMain &window = ui::winMain();
    // Files named on the command line land in the list as dropped ones do.
    for (const QString &path : cli::fileArguments(QApplication::arguments())) {
        if (!window.isVisible())
            break;
        window.ReadFolderItem(QFileInfo(path));
    }
    window.updatefilecount();
    // The window may have been closed while a long folder was walked; the
    // application has ended then.
    const int status = window.isVisible() ? QApplication::exec() : 0;
    delete &window;
    return status;
}

} // namespace norvale::app
