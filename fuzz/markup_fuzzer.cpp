// Renders arbitrary mark-up: the renderer must end, and its text must be the
// input with every complete tag removed and the lt/gt entities resolved
// (a lone "<" or "&" stays), as a plain reading of the rules gives.
#include "ui/markup.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>

namespace {

QString expectedText(QString t)
{
    for (qsizetype p = t.indexOf(u'<'); p >= 0; p = t.indexOf(u'<', p)) {
        const qsizetype q = t.indexOf(u'>', p);
        if (q < 0)
            break;
        t.remove(p, q - p + 1);
    }
    for (qsizetype p = t.indexOf(u'&'); p >= 0; p = t.indexOf(u'&', p)) {
        const qsizetype q = t.indexOf(u';', p);
        if (q < 0)
            break;
        const QString name = t.mid(p + 1, q - p - 1).section(u' ', 0, 0).toLower();
        if (name == u"lt" || name == u"gt") {
            t.replace(p, q - p + 1, name == u"lt" ? QStringLiteral("<") : QStringLiteral(">"));
            ++p;
        } else {
            ++p;
        }
    }
    return t;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    // Line ends as the document holds them: a "\r" and a "\n" that a removed
    // tag brings together would read as one line end in a plain string but
    // stay two in the document.
    QString markup = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    markup.replace(u'\r', u'\n');
    QTextDocument rendered;
    norvale::ui::setMarkupText(rendered, markup, true);
    QTextDocument expected;
    expected.setPlainText(expectedText(markup));
    if (rendered.toPlainText() != expected.toPlainText())
        std::abort();
    return 0;
}
