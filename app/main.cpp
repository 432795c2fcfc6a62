#include "cli.h"
#include "gui.h"

#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
extern "C" void onSignal(int signalNumber) { norvale::cli::requestCancel(signalNumber); }

void quietQtMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "norvale: %s\n", qPrintable(message));
}
} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    if (!norvale::cli::isBatchCommand(arguments))
        return norvale::app::runWindow(argc, argv);

    // A thumbnail is drawn on a picture in memory: no application object,
    // no platform plugin, no fonts, so file managers get it quickly.
    if (norvale::cli::isThumbnailCommand(arguments)) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return norvale::cli::run(arguments, out, err, false);
    }

    // SIGINT and SIGTERM end the run before its next entry, so no output
    // file is left half written.
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    // The batch command draws its pages without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own notes (missing runtime folders and the like) are not the
    // user's business on the command line.
    if (qEnvironmentVariableIsEmpty("NORVALE_DEBUG"))
        qInstallMessageHandler(quietQtMessages);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("norvale"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return norvale::cli::run(arguments, out, err, isatty(fileno(stderr)) != 0);
}
