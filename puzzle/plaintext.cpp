#include "plaintext.h"

#include "reader.h"

#include <QHash>

#include <algorithm>

namespace norvale {

namespace {

// The named references of HTML's Latin-1 range (U+00A0 to U+00FF), in
// code point order.
constexpr const char *kLatin1Names[] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

// Other references that published clues use: markup characters,
// typographic quotes and dashes, the letters Windows-1252 adds.
constexpr struct {
    const char *name;
    char32_t code;
} kOtherNames[] = {
    {"amp", U'&'},         {"lt", U'<'},          {"gt", U'>'},          {"quot", U'"'},
    {"apos", U'\''},       {"ndash", U'\u2013'},  {"mdash", U'\u2014'},  {"lsquo", U'\u2018'},
    {"rsquo", U'\u2019'},  {"sbquo", U'\u201A'},  {"ldquo", U'\u201C'},  {"rdquo", U'\u201D'},
    {"bdquo", U'\u201E'},  {"hellip", U'\u2026'}, {"bull", U'\u2022'},   {"trade", U'\u2122'},
    {"euro", U'\u20AC'},   {"OElig", U'\u0152'},  {"oelig", U'\u0153'},  {"Scaron", U'\u0160'},
    {"scaron", U'\u0161'}, {"Yuml", U'\u0178'},   {"dagger", U'\u2020'}, {"Dagger", U'\u2021'},
    {"permil", U'\u2030'}, {"lsaquo", U'\u2039'}, {"rsaquo", U'\u203A'}, {"prime", U'\u2032'},
    {"Prime", U'\u2033'},  {"minus", U'\u2212'},  {"larr", U'\u2190'},   {"uarr", U'\u2191'},
    {"rarr", U'\u2192'},   {"darr", U'\u2193'},   {"spades", U'\u2660'}, {"clubs", U'\u2663'},
    {"hearts", U'\u2665'}, {"diams", U'\u2666'},  {"ensp", U'\u2002'},   {"emsp", U'\u2003'},
    {"thinsp", U'\u2009'},
};

const QHash<QString, char32_t> &namedReferences()
{
    static const QHash<QString, char32_t> table = [] {
        QHash<QString, char32_t> t;
        char32_t code = 0xA0;
        for (const char *name : kLatin1Names)
            t.insert(QString::fromLatin1(name), code++);
        for (const auto &other : kOtherNames)
            t.insert(QString::fromLatin1(other.name), other.code);
        return t;
    }();
    return table;
}

// The character a reference's name (between "&" and ";") stands for, or 0.
char32_t referenceCode(QStringView name)
{
    if (name.startsWith(u'#')) {
        bool ok = false;
        const bool hex = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X');
        const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok)
            return 0;
        // A code point no text may hold becomes the replacement character.
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return U'\uFFFD';
        return char32_t(code);
    }
    return namedReferences().value(name.toString(), 0);
}

// The longest reference name looked for; a "&" further from its ";" is text.
constexpr qsizetype kMaxReferenceLength = 10;

bool isBreakTag(QStringView tag)
{
    qsizetype end = tag.startsWith(u'/') ? 1 : 0;
    const qsizetype start = end;
    while (end < tag.size() && tag.at(end).isLetterOrNumber())
        ++end;
    const QStringView name = tag.sliced(start, end - start);
    return name.compare(u"br", Qt::CaseInsensitive) == 0 ||
           name.compare(u"p", Qt::CaseInsensitive) == 0;
}

} // namespace

QString plainText(QStringView marked, LineBreaks breaks)
{
    // Most texts carry neither mark-up nor line breaks.
    const auto special = [](QChar ch) {
        return ch == u'<' || ch == u'&' || ch == u'\n' || ch == u'\r';
    };
    if (std::none_of(marked.begin(), marked.end(), special))
        return marked.trimmed().toString();

    QString out;
    out.reserve(marked.size());
    // Once a "<" finds no ">" after it, no later one will: remembering that
    // keeps the scan linear on a text full of "<".
    bool noTagEnd = false;
    for (qsizetype i = 0; i < marked.size();) {
        const QChar ch = marked.at(i);
        if (ch == u'<' && !noTagEnd && i + 1 < marked.size() &&
            (marked.at(i + 1).isLetter() || marked.at(i + 1) == u'/' || marked.at(i + 1) == u'!')) {
            const qsizetype close = marked.indexOf(u'>', i + 1);
            if (close < 0) {
                noTagEnd = true;
            } else {
                if (isBreakTag(marked.sliced(i + 1, close - i - 1)))
                    out += u'\n';
                i = close + 1;
                continue;
            }
        } else if (ch == u'&') {
            const QStringView ahead = marked.sliced(i + 1).left(kMaxReferenceLength + 1);
            const qsizetype semi = ahead.indexOf(u';');
            if (semi > 0) {
                if (const char32_t code = referenceCode(ahead.left(semi))) {
                    out += QString::fromUcs4(&code, 1);
                    i += semi + 2;
                    continue;
                }
            }
        }
        out += ch;
        ++i;
    }

    // Line breaks, with the white space around them, become one space, or
    // stay line feeds (as many as there were).
    QString result;
    result.reserve(out.size());
    for (qsizetype i = 0; i < out.size();) {
        if (!out.at(i).isSpace()) {
            result += out.at(i++);
            continue;
        }
        const qsizetype start = i;
        qsizetype lineBreaks = 0;
        while (i < out.size() && out.at(i).isSpace()) {
            // "\r\n" is one line break, and so are a lone "\r" and "\n".
            if (out.at(i) == u'\n' ||
                (out.at(i) == u'\r' && (i + 1 == out.size() || out.at(i + 1) != u'\n')))
                ++lineBreaks;
            ++i;
        }
        if (lineBreaks == 0)
            result += QStringView(out).sliced(start, i - start);
        else if (breaks == LineBreaks::Space)
            result += u' ';
        else
            result += QString(lineBreaks, u'\n');
    }
    return result.trimmed();
}

QString shortenedNotes(const QString &notes)
{
    QString cut = notes.left(kMaxTextFieldBytes);
    const qsizetype space = cut.lastIndexOf(u' ');
    if (space > 0)
        cut.truncate(space);
    return cut + QChar(0x2026);
}

} // namespace norvale
