#include "layout.h"

#include <QList>

namespace norvale {

namespace {

// A text addressed by character (code point) rather than by UTF-16 unit.
class Characters {
public:
    explicit Characters(const QString &text) : m_text(text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!text.at(i).isLowSurrogate())
                m_offsets.append(i);
        }
        m_offsets.append(text.size());
    }

    qsizetype size() const { return m_offsets.size() - 1; }
    bool isSpace(qsizetype i) const { return m_text.at(m_offsets.at(i)) == u' '; }
    QStringView slice(qsizetype from, qsizetype to) const
    {
        return QStringView(m_text).mid(m_offsets.at(from), m_offsets.at(to) - m_offsets.at(from));
    }

private:
    const QString &m_text;
    QList<qsizetype> m_offsets;
};

// Length of the first line of the characters from..end wrapped at n: the
// longest run of whole words, with the space after the last of them, that
// stays shorter than n characters. Runs of spaces are passed over, so every
// break follows a space. When even the first word reaches n - 1 it keeps a
// line of its own. 0 when the text cannot be broken at all (a single word,
// or nothing but spaces after the first word).
qsizetype firstLineLength(const Characters &chars, qsizetype from, qsizetype n)
{
    const qsizetype end = chars.size();
    qsizetype k = 0;
    qsizetype i = from;
    while (i < end) {
        if (chars.isSpace(i)) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < end && !chars.isSpace(j))
            ++j;
        // The word is [i, j); the line through the space after it holds p
        // characters.
        const qsizetype p = j + 1 - from;
        if (p < n) {
            k = p;
            i = j;
            continue;
        }
        if (k > 0)
            return k;
        for (qsizetype rest = j; rest < end; ++rest) {
            if (!chars.isSpace(rest))
                return p;
        }
        return 0;
    }
    return k;
}

} // namespace

QStringList WrapClueLines(const QString &text, int width)
{
    const Characters chars(text);
    const qsizetype n = width;
    QStringList out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype k = chars.size() - from <= n ? 0 : firstLineLength(chars, from, n);
        if (k == 0) {
            out.append(chars.slice(from, chars.size()).toString());
            return out;
        }
        out.append(chars.slice(from, from + k).toString());
        from += k;
    }
}

QString WrapClue(const QString &text, int width)
{
    return WrapClueLines(text, width).join(QStringLiteral("\n       "));
}

} // namespace norvale
