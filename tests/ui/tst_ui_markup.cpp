// The tag mark-up renderer on documents: styles from each tag to the end,
// the one remembered size, entities after tags, and what it leaves alone.

#include "ui/markup.h"

#include <QTest>
#include <QTextDocument>

using namespace norvale::ui;
using namespace Qt::StringLiterals;

namespace {

// The document's runs as "<b><i><size>:<text>", e.g. "b14:Norvale".
QStringList describe(const QTextDocument &doc)
{
    QStringList out;
    for (const StyledRun &run : styledRuns(doc)) {
        out.append(QStringLiteral("%1%2%3:%4")
                       .arg(run.bold ? QStringLiteral("b") : QString(),
                            run.italic ? QStringLiteral("i") : QString())
                       .arg(run.size)
                       .arg(run.text));
    }
    return out;
}

QFont twelvePoints()
{
    QFont font;
    font.setPointSize(12);
    return font;
}

} // namespace

class TestMarkup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void styles_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<bool>("entities");
        QTest::addColumn<QStringList>("runs");

        QTest::newRow("plain") << u"abc"_s << true << QStringList{u"12:abc"_s};
        QTest::newRow("bold to the end") << u"a<b>bc"_s << true << QStringList{u"12:a"_s, u"b12:bc"_s};
        QTest::newRow("bold off") << u"<b>a</b>b"_s << true << QStringList{u"b12:a"_s, u"12:b"_s};
        QTest::newRow("no nesting: one close ends both opens")
            << u"<b>a<b>b</b>c"_s << true << QStringList{u"b12:ab"_s, u"12:c"_s};
        QTest::newRow("styles overlap")
            << u"<i>a<b>b</i>c</b>d"_s << true
            << QStringList{u"i12:a"_s, u"bi12:b"_s, u"b12:c"_s, u"12:d"_s};
        QTest::newRow("size and back") << u"<font size=\"14\">a</font>b"_s << true
                                       << QStringList{u"14:a"_s, u"12:b"_s};
        QTest::newRow("one remembered size, no stack")
            << u"<font size=\"14\">a<font size=\"20\">b</font>c</font>d"_s << true
            << QStringList{u"14:a"_s, u"20:b"_s, u"14:cd"_s};
        QTest::newRow("close without open: default size")
            << u"<font size=\"9\">a</font>b</font>c"_s << true
            << QStringList{u"9:a"_s, u"12:bc"_s};
        QTest::newRow("size that is no number: default size")
            << u"<font size=\"9\">a<font size=big>b"_s << true
            << QStringList{u"9:a"_s, u"12:b"_s};
        QTest::newRow("names in any case") << u"<B>a</B><I>b"_s << true
                                           << QStringList{u"b12:a"_s, u"i12:b"_s};
        QTest::newRow("name ends at the first space") << u"<b class=\"x\">a<bx>b"_s << true
                                                      << QStringList{u"b12:ab"_s};
        QTest::newRow("unknown tags go") << u"a<p>b<br/>c<>d"_s << true << QStringList{u"12:abcd"_s};
        QTest::newRow("styles run across lines")
            << u"<b>a\rb</b>c\r\rd"_s << true
            << QStringList{u"b12:a"_s, u"b12:b"_s, u"12:c"_s, u"12:d"_s};
        QTest::newRow("escaped tag shows and does not style")
            << u"&lt;b&gt;x"_s << true << QStringList{u"12:<b>x"_s};
        QTest::newRow("entities left as they are when not asked for")
            << u"<b>&lt;b&gt;</b>"_s << false << QStringList{u"b12:&lt;b&gt;"_s};
        QTest::newRow("entity keeps the style of its place")
            << u"a<b>&gt;</b>&lt;"_s << true << QStringList{u"12:a"_s, u"b12:>"_s, u"12:<"_s};
        QTest::newRow("entity names in any case, up to a space")
            << u"&LT;&Gt;&lt x;"_s << true << QStringList{u"12:<><"_s};
    }
    void styles()
    {
        QFETCH(QString, markup);
        QFETCH(bool, entities);
        QFETCH(QStringList, runs);
        QTextDocument doc;
        doc.setDefaultFont(twelvePoints());
        setMarkupText(doc, markup, entities);
        QCOMPARE(describe(doc), runs);
    }

    // What does not start a tag or a known entity stays, and the passes end.
    void leftOpen_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("text");

        QTest::newRow("lone <") << u"a < b"_s << u"a < b"_s;
        QTest::newRow("< at the end") << u"a<"_s << u"a<"_s;
        QTest::newRow("< after a tag") << u"<i>a<b"_s << u"a<b"_s;
        QTest::newRow("lone >") << u"a > b"_s << u"a > b"_s;
        QTest::newRow("lone &") << u"fish & chips"_s << u"fish & chips"_s;
        QTest::newRow("& at the end") << u"&lt;&"_s << u"<&"_s;
        QTest::newRow("unknown entity") << u"&amp;"_s << u"&amp;"_s;
        QTest::newRow("search goes on after an unknown &") << u"&x&lt;"_s << u"&x<"_s;
        QTest::newRow("empty entity") << u"&;"_s << u"&;"_s;
    }
    void leftOpen()
    {
        QFETCH(QString, markup);
        QFETCH(QString, text);
        QTextDocument doc;
        setMarkupText(doc, markup, true);
        QCOMPARE(doc.toPlainText(), text);
    }

    // Many tags in one long paragraph: every tag is one edit, the tail of
    // the text is not restyled again and again.
    void longText()
    {
        constexpr int kTags = 20000;
        QString markup;
        for (int i = 0; i < kTags; ++i)
            markup += i % 2 == 0 ? u"<b>x&lt;"_s : u"</b>y&gt;"_s;
        QTextDocument doc;
        doc.setDefaultFont(twelvePoints());
        setMarkupText(doc, markup, true);
        const QList<StyledRun> runs = styledRuns(doc);
        QCOMPARE(runs.size(), kTags);
        QCOMPARE(runs.first().text, u"x<"_s);
        QVERIFY(runs.first().bold);
        QCOMPARE(runs.last().text, u"y>"_s);
        QVERIFY(!runs.last().bold);
    }
};

QTEST_MAIN(TestMarkup)
#include "tst_ui_markup.moc"
