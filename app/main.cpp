#include "cli.h"
#include "gui.h"

#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
extern "C" void onSignal(int signalNumber) { norvale::cli::requestCancel(signalNumber); }
} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    if (!norvale::cli::isBatchCommand(arguments))
        return norvale::app::runWindow(argc, argv);

    // The batch command draws its pages without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("norvale"));

    // SIGINT and SIGTERM end the run before its next entry, so no output
    // file is left half written.
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    QTextStream out(stdout);
    QTextStream err(stderr);
    return norvale::cli::run(arguments, out, err, isatty(fileno(stderr)) != 0);
}
