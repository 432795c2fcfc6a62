#pragma once

#include "puzwriter/puzwriter.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>
#include <QString>

namespace norvale::test {

// Folders handed to the tests by CTest.
QString dataDir();           // tests/data of the project
QString sharedFixturesDir(); // the published .puz files shared with the project
QString norvaleBinary();     // the built program

QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);

// The 3 x 3 puzzle of the worked examples: rows "AB.", "CDE", ".FG",
// across 1 Top row, 3 Middle row, 5 Bottom row; down 1 Left, 2 Centre,
// 4 Right; title "Tiny".
puzwriter::PuzzleSource tinySource();

// A program run to its end (at most a minute): exit status (-1 when it
// crashed or timed out), stdout and stderr.
struct ProcessOutcome {
    int status = -1;
    QString out;
    QString err;
};
ProcessOutcome runProgram(const QString &program, const QStringList &args,
                          const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

} // namespace norvale::test
