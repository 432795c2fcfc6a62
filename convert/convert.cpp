#include "convert.h"

#include <QStringEncoder>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace norvale {

namespace {

// A text composed into a buffer sized for its longest possible form (three
// bytes of UTF-8 a UTF-16 unit) and cut to what was written: a run converts
// thousands of files, and appending piece by piece to a growing array cost
// more than reading the puzzle.
class Composer {
public:
    explicit Composer(qsizetype bound) : m_out(bound, Qt::Uninitialized), m_at(m_out.data()) {}

    static qsizetype utf8Bound(const QString &text) { return 3 * text.size(); }

    void add(char c) { *m_at++ = c; }
    void add(QByteArrayView bytes)
    {
        std::memcpy(m_at, bytes.data(), size_t(bytes.size()));
        m_at += bytes.size();
    }
    void lineEnd() { add("\r\n"); }
    // Texts with surrogates go through toUtf8(), which writes a lone one as
    // "?" as the files have always had it; the rest straight into the buffer.
    void addUtf8(const QString &text)
    {
        if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); }))
            add(text.toUtf8());
        else
            m_at = m_encoder.appendToBuffer(m_at, text);
    }
    void addNumber(qint32 n)
    {
        char digits[16];
        const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
        add(QByteArrayView(digits, end - digits));
    }

    QByteArray take()
    {
        m_out.truncate(m_at - m_out.data());
        return std::move(m_out);
    }

private:
    QByteArray m_out;
    char *m_at;
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

// Room for a clue line: the number, a space, the text and the line end.
qsizetype cluesBound(const QStringList &texts)
{
    qsizetype bound = 0;
    for (const QString &text : texts)
        bound += 16 + Composer::utf8Bound(text);
    return bound;
}

} // namespace

QByteArray crossBowText(const Puzzle &p)
{
    Composer out(Composer::utf8Bound(p.puz_title) + 32 + qsizetype(p.width + 2) * p.height
                 + cluesBound(p.clue_a) + cluesBound(p.clue_d));
    out.addUtf8(p.puz_title);
    out.lineEnd();
    out.lineEnd();
    out.add("Grid");
    out.lineEnd();
    for (int r = 1; r <= p.height; ++r) {
        for (int c = 1; c <= p.width; ++c)
            out.add(p.isBlack(c, r) ? 'B' : 'W');
        out.lineEnd();
    }
    auto clues = [&out](const char *head, const QList<qint32> &numbers, const QStringList &texts) {
        out.lineEnd();
        out.add(head);
        out.lineEnd();
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            out.addNumber(numbers.at(i));
            out.add(' ');
            out.addUtf8(texts.at(i));
            out.lineEnd();
        }
    };
    clues("Across", p.num_a, p.clue_a);
    clues("Down", p.num_d, p.clue_d);
    return out.take();
}

QByteArray solutionText(const Puzzle &p)
{
    qsizetype rebusBound = 0;
    for (const QString &rebus : p.rebusCells)
        rebusBound += Composer::utf8Bound(rebus);
    Composer out(Composer::utf8Bound(p.puz_title) + 16 + qsizetype(3 * p.width + 2) * p.height
                 + rebusBound);
    out.addUtf8(p.puz_title);
    out.add(", Solution");
    out.lineEnd();
    out.lineEnd();
    const bool anyRebus = !p.rebusCells.isEmpty();
    for (int r = 1; r <= p.height; ++r) {
        for (int c = 1; c <= p.width; ++c) {
            const char cell = p.gridBytes.at(p.index(c, r));
            if (Puzzle::isBlackByte(cell)) {
                out.add("-  ");
                continue;
            }
            // A rebus square shows its whole answer, not just its first letter.
            const QString *rebus = anyRebus ? &p.rebusCells.at(p.index(c, r)) : nullptr;
            if (rebus && !rebus->isEmpty())
                out.addUtf8(*rebus);
            else
                out.add(cell);
            out.add("  ");
        }
        out.lineEnd();
    }
    return out.take();
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
