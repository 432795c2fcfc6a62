#include "gui.h"

#include "app.h"
#include "cli.h"
#include "instance.h"

#include "filelist/filetypes.h"
#include "ui/winmain.h"

#include <QFileInfo>

namespace norvale::app {

int runWindow(int &argc, char **argv)
{
    FileTypes::_InitFileTypes();
    App app(argc, argv);
    // The desktop starts Norvale with the documents to open as arguments.
    const QStringList documents = cli::fileArguments(App::arguments());

    // With a Norvale of this user already running, that one takes the
    // documents (or only comes to the front) and this start ends.
    const QString name = instanceName();
    const Forwarded forwarded = forwardToRunningInstance(name, documents);
    if (forwarded == Forwarded::Taken)
        return 0;
    InstanceServer server;
    // One that holds the socket without answering keeps it, and later starts
    // still try it first. Without the socket, they open windows of their own.
    if (forwarded == Forwarded::NoInstance)
        server.listen(name);
    QObject::connect(&server, &InstanceServer::openRequested, &app, &App::OpenDocuments);

    app._ApplicationAddMenuHandlers();
    app.Event_Open();
    ui::WinMain &window = app._MakeDefaultView();
    for (const QString &path : documents) {
        // The window may be closed while a long folder is walked; the
        // application has ended then.
        if (!window.isVisible())
            break;
        app.Event_OpenDocument(QFileInfo(path));
    }
    window.updatefilecount();
    const int status = window.isVisible() ? App::exec() : 0;
    delete ui::openWinMain();
    return status;
}

} // namespace norvale::app
