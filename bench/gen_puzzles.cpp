// Writes N generated puzzles (15x15 to 25x25, random letters and black
// squares, clues of a published length) into a folder, spread over
// subfolders of at most 500 files each:
//   gen_puzzles N DIR [SEED]

#include "puzwriter/puzwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: gen_puzzles N DIR [SEED]\n");
        return 2;
    }
    const int n = args.at(1).toInt();
    const QDir root(args.at(2));
    QRandomGenerator rng(args.size() > 3 ? args.at(3).toUInt() : 1u);
    for (int i = 0; i < n; ++i) {
        const QString folder = QStringLiteral("part%1").arg(i / 500, 3, 10, QLatin1Char('0'));
        root.mkpath(folder);
        norvale::puzwriter::PuzzleSource s;
        const int size = 15 + int(rng.bounded(11));
        s.title = QStringLiteral("Generated puzzle number %1").arg(i);
        s.author = QStringLiteral("Norvale bench");
        for (int r = 0; r < size; ++r) {
            QString row;
            for (int c = 0; c < size; ++c)
                row += rng.bounded(7) == 0 ? u'.' : QChar(u'A' + int(rng.bounded(26)));
            s.rows.append(row);
        }
        for (int k = 0; k < size * size; ++k) {
            s.across.append(QStringLiteral("Across clue %1, a text about as long as a real clue").arg(k));
            s.down.append(QStringLiteral("Down clue %1 with several words in it").arg(k));
        }
        QFile f(root.filePath(QStringLiteral("%1/p%2.puz").arg(folder).arg(i, 5, 10, QLatin1Char('0'))));
        const QByteArray bytes = norvale::puzwriter::write(s);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }
    return 0;
}
