#pragma once

#include <QList>
#include <QString>

class QTextDocument;

namespace norvale::ui {

// The small tag mark-up of the help text and the About box credits.
//
// A tag is "<", a tag text and the next ">"; its name is the tag text up to
// the first space, in any letter case. "b" and "/b" switch bold on and off,
// "i" and "/i" italic, "font" sets the type size to the whole number between
// the first two double quotes of the tag text (remembering the size in effect
// where it stands), and "/font" goes back to the size remembered at the most
// recent "font". Every tag takes effect from where it stands to the end of
// the text; there is no nesting, and a closing tag simply switches its style
// off from its own position on. Other tags are removed without effect.
//
// Sizes are points. A size of 0 or less, or one that is not a whole number,
// means the document's default size; so does "/font" with no "font" before it.
//
// Entities, when asked for, are resolved after all tags: "&lt;" gives "<" and
// "&gt;" gives ">" (the name is what stands between "&" and the next ";", up
// to its first space, in any letter case), so they can show angle brackets
// that are not tags. A replacement takes the style of the "&" it replaces.
//
// A "<" with no ">" after it, and an "&" that starts no known entity, stay in
// the text as they are.
//
// The document is expected to hold plain paragraphs (no tables or frames).
// It is edited as one edit block, so a view of it lays it out once.
void renderMarkup(QTextDocument &doc, bool resolveEntities);

// Replaces the document's text with the plain text markup and renders it.
void setMarkupText(QTextDocument &doc, const QString &markup, bool resolveEntities);

// A stretch of one line of a document in one style, with the document's
// default font filling in what the text's own format leaves open.
struct StyledRun {
    int line = 0; // from 1
    QString text;
    bool bold = false;
    bool italic = false;
    qreal size = 0; // points

    friend bool operator==(const StyledRun &, const StyledRun &) = default;
};

// The document's text as runs, line by line; adjacent text of the same style
// is one run, and empty lines have none.
QList<StyledRun> styledRuns(const QTextDocument &doc);

} // namespace norvale::ui
