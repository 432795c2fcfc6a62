// makepuz: writes Across Lite .puz files from the small text format of
// samples/src, with correct checksums.
//   makepuz SOURCE.txt OUT.puz

#include "puzwriter/puzwriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: makepuz SOURCE.txt OUT.puz\n";
        return 2;
    }
    QFile in(args.at(1));
    if (!in.open(QIODevice::ReadOnly)) {
        err << args.at(1) << ": " << in.errorString() << "\n";
        return 1;
    }
    norvale::puzwriter::PuzzleSource source;
    QString error;
    if (!norvale::puzwriter::parseSource(QString::fromUtf8(in.readAll()), &source, &error)) {
        err << args.at(1) << ": " << error << "\n";
        return 1;
    }
    QSaveFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly) || out.write(norvale::puzwriter::write(source)) < 0
        || !out.commit()) {
        err << args.at(2) << ": " << out.errorString() << "\n";
        return 1;
    }
    return 0;
}
