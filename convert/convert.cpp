#include "convert.h"

namespace norvale {

namespace {
constexpr QByteArrayView kLineEnd = "\r\n";
} // namespace

QByteArray crossBowText(const Puzzle &p)
{
    QByteArray out;
    out.reserve(64 + qsizetype(p.width + 2) * p.height + 64 * (p.clue_a.size() + p.clue_d.size()));
    out += p.puz_title.toUtf8();
    out += kLineEnd;
    out += kLineEnd;
    out += "Grid";
    out += kLineEnd;
    for (int r = 1; r <= p.height; ++r) {
        for (int c = 1; c <= p.width; ++c)
            out += p.isBlack(c, r) ? 'B' : 'W';
        out += kLineEnd;
    }
    auto clues = [&out](const char *head, const QList<qint32> &numbers, const QStringList &texts) {
        out += kLineEnd;
        out += head;
        out += kLineEnd;
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            out += QByteArray::number(numbers.at(i));
            out += ' ';
            out += texts.at(i).toUtf8();
            out += kLineEnd;
        }
    };
    clues("Across", p.num_a, p.clue_a);
    clues("Down", p.num_d, p.clue_d);
    return out;
}

QByteArray solutionText(const Puzzle &p)
{
    QByteArray out;
    out.reserve(32 + qsizetype(3 * p.width + 2) * p.height);
    out += p.puz_title.toUtf8();
    out += ", Solution";
    out += kLineEnd;
    out += kLineEnd;
    for (int r = 1; r <= p.height; ++r) {
        for (int c = 1; c <= p.width; ++c) {
            if (p.isBlack(c, r)) {
                out += "-  ";
                continue;
            }
            // A rebus square shows its whole answer, not just its first letter.
            const QString rebus = p.rebus(c, r);
            if (rebus.isEmpty())
                out += p.grid(c, r);
            else
                out += rebus.toUtf8();
            out += "  ";
        }
        out += kLineEnd;
    }
    return out;
}

QString crossBowFileName(const Puzzle &p)
{
    return p.CurrentFileName + QStringLiteral(".txt");
}
QString solutionFileName(const Puzzle &p)
{
    return p.CurrentFileName + QStringLiteral(".sol.txt");
}

std::optional<WriteError> MakeCrossBowPuzzle(const Puzzle &puzzle, GroupCommitWriter &out,
                                             bool withSolution)
{
    if (auto error = out.add(crossBowFileName(puzzle), crossBowText(puzzle)))
        return error;
    // Letters that are not known are not written as if they were.
    if (withSolution && puzzle.solutionKnown)
        return out.add(solutionFileName(puzzle), solutionText(puzzle));
    return std::nullopt;
}

std::optional<WriteError> MakeCrossBowPuzzle(const Puzzle &puzzle, const QString &destination,
                                             bool withSolution)
{
    GroupCommitWriter out(destination);
    const std::optional<WriteError> error = MakeCrossBowPuzzle(puzzle, out, withSolution);
    const std::optional<WriteError> committed = out.commit();
    return error ? error : committed;
}

} // namespace norvale
