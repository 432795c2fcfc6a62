#include "markup.h"

#include <QFontInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <iterator>
#include <vector>

namespace norvale::ui {

namespace {

// The document's default type size in points.
qreal defaultSize(const QTextDocument &doc)
{
    const QFont font = doc.defaultFont();
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

// A name: the text up to its first space, in lower case.
QString nameOf(const QString &text)
{
    return text.left(text.indexOf(u' ')).toLower();
}

// The whole number between the first and the second double quote of a tag
// text (or after the first, when there is no second); 0 when there is none.
int sizeOf(const QString &tagText)
{
    return tagText.section(u'"', 1, 1).toInt();
}

// The effective format of the character at position p.
QTextCharFormat formatAt(QTextDocument &doc, int p)
{
    QTextCursor at(&doc);
    at.setPosition(std::min(p + 1, doc.characterCount() - 1));
    return at.charFormat();
}

enum class Style { Bold, Italic, Size };

// One style change at a position of the text after the tags are gone.
struct Change {
    int position;
    Style style;
    qreal value; // on (1) or off (0), or a size in points
};

// Each style of a change holds from its position until the next change of the
// same style. That is exactly what styling everything up to the end at every
// tag gives, as a later tag overrides the earlier one from its own position
// on; applied this way, the tail of a long text is not restyled at every tag.
void applyChanges(QTextDocument &doc, const std::vector<Change> &changes)
{
    // Walked from the back, the end of each change's stretch is where the
    // next change of its style starts.
    int until[3];
    std::fill(std::begin(until), std::end(until), doc.characterCount() - 1);
    QTextCursor cursor(&doc);
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        int &to = until[static_cast<int>(it->style)];
        if (to > it->position) {
            QTextCharFormat format;
            switch (it->style) {
            case Style::Bold:
                format.setFontWeight(it->value != 0 ? QFont::Bold : QFont::Normal);
                break;
            case Style::Italic:
                format.setFontItalic(it->value != 0);
                break;
            case Style::Size:
                format.setFontPointSize(it->value);
                break;
            }
            cursor.setPosition(it->position);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
        }
        to = it->position;
    }
}

// One pass over the document's text as it was when the pass began. The
// raw text's indexes are the cursor's positions, less what the edits so far
// have taken out before them. The text in front of an edit holds nothing the
// pass still looks for, so each search carries on behind the previous one.
class Pass {
public:
    Pass(QTextDocument &doc, QTextCursor &cursor)
        : m_doc(doc), m_cursor(cursor), m_raw(doc.toRawText())
    {
    }

    // Finds the first opening character at or after from and the first
    // closing character from there on. When there is none, neither is there
    // one for a later opening character: the pass is over, and what is left
    // stays as it is.
    bool next(QChar open, QChar close, qsizetype from)
    {
        m_first = m_raw.indexOf(open, from);
        if (m_first < 0)
            return false;
        m_last = m_raw.indexOf(close, m_first);
        return m_last >= 0;
    }
    qsizetype first() const { return m_first; }
    qsizetype last() const { return m_last; }
    // What stands between the two characters.
    QString inner() const { return m_raw.mid(m_first + 1, m_last - m_first - 1); }
    // Where the piece starts in the document now.
    int position() const { return static_cast<int>(m_first - m_removed); }

    // Replaces the piece, both characters included; the new text takes the
    // style of the piece's first character.
    void replace(const QString &text)
    {
        const int p = position();
        const QTextCharFormat format = text.isEmpty() ? QTextCharFormat() : formatAt(m_doc, p);
        m_cursor.setPosition(p);
        m_cursor.setPosition(static_cast<int>(m_last + 1 - m_removed), QTextCursor::KeepAnchor);
        if (text.isEmpty())
            m_cursor.removeSelectedText();
        else
            m_cursor.insertText(text, format);
        m_removed += m_last + 1 - m_first - text.size();
    }

private:
    QTextDocument &m_doc;
    QTextCursor &m_cursor;
    const QString m_raw;
    qsizetype m_first = 0;
    qsizetype m_last = 0;
    qsizetype m_removed = 0;
};

// Removes every tag from the document and returns the style changes they
// stand for, at their positions in the text without tags.
std::vector<Change> removeTags(QTextDocument &doc, QTextCursor &cursor)
{
    const qreal fallbackSize = defaultSize(doc);
    auto effective = [&](qreal size) { return size > 0 ? size : fallbackSize; };

    std::vector<Change> changes;
    qreal remembered = 0;
    // The size in effect where the pass stands, once a tag has set one.
    qreal currentSize = 0;
    bool sizeSet = false;
    Pass pass(doc, cursor);
    for (qsizetype from = 0; pass.next(u'<', u'>', from); from = pass.last() + 1) {
        const int p = pass.position();
        const QString text = pass.inner();
        pass.replace(QString());

        const QString name = nameOf(text);
        if (name == u"b" || name == u"/b") {
            changes.push_back({p, Style::Bold, name == u"b" ? 1.0 : 0.0});
        } else if (name == u"i" || name == u"/i") {
            changes.push_back({p, Style::Italic, name == u"i" ? 1.0 : 0.0});
        } else if (name == u"font" || name == u"/font") {
            if (name == u"font") {
                remembered = sizeSet ? currentSize : effective(formatAt(doc, p).fontPointSize());
                currentSize = effective(sizeOf(text));
            } else {
                currentSize = effective(remembered);
            }
            sizeSet = true;
            changes.push_back({p, Style::Size, currentSize});
        }
    }
    return changes;
}

void resolveEntities(QTextDocument &doc, QTextCursor &cursor)
{
    // An "&" that starts no known entity stays, and the search goes on right
    // behind it. It cannot become a known entity later: its name would then
    // take in the replacement.
    Pass pass(doc, cursor);
    qsizetype from = 0;
    while (pass.next(u'&', u';', from)) {
        const QString name = nameOf(pass.inner());
        if (name == u"lt" || name == u"gt") {
            pass.replace(name == u"lt" ? QStringLiteral("<") : QStringLiteral(">"));
            from = pass.last() + 1;
        } else {
            from = pass.first() + 1;
        }
    }
}

} // namespace

void renderMarkup(QTextDocument &doc, bool resolve)
{
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    applyChanges(doc, removeTags(doc, cursor));
    if (resolve)
        resolveEntities(doc, cursor);
    cursor.endEditBlock();
}

void setMarkupText(QTextDocument &doc, const QString &markup, bool resolve)
{
    doc.setPlainText(markup);
    renderMarkup(doc, resolve);
}

QList<StyledRun> styledRuns(const QTextDocument &doc)
{
    QList<StyledRun> runs;
    const QFont base = doc.defaultFont();
    int line = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        ++line;
        bool first = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QFont font = fragment.charFormat().font().resolve(base);
            StyledRun run{line, fragment.text(), font.bold(), font.italic(), font.pointSizeF()};
            if (!first && runs.last().bold == run.bold && runs.last().italic == run.italic
                && runs.last().size == run.size) {
                runs.last().text += run.text;
            } else {
                runs.append(run);
            }
            first = false;
        }
    }
    return runs;
}

} // namespace norvale::ui
