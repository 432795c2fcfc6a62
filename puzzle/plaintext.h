#pragma once

#include <QString>
#include <QStringView>

namespace norvale {

// What a line break inside a text becomes: one space (titles and clues,
// which are printed and converted as one line) or a line feed (notes).
enum class LineBreaks { Space, Keep };

// The plain text of a field that may carry HTML-like mark-up, as ipuz texts
// and some jpz texts do: tags such as <i>, </b> or <span class="x"> are
// removed, <br> and <p> become line breaks, character references (&amp;,
// &eacute;, &#233;, &#xE9;) are decoded; an unknown reference and a "<"
// that opens no tag stay as they are. Line breaks, with the white space
// around them, become one space or stay line feeds, as breaks says; the
// text is trimmed.
QString plainText(QStringView marked, LineBreaks breaks);

// Notes longer than a text field may be are cut at a word's end and end in
// an ellipsis; the page could not show more of them anyway.
QString shortenedNotes(const QString &notes);

} // namespace norvale
