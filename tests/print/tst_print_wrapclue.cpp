#include "print/layout.h"

#include <QTest>

using namespace norvale;

namespace {

const QString kBreak = QStringLiteral("\n       ");

QString lines(std::initializer_list<const char16_t *> parts)
{
    QStringList out;
    for (const char16_t *p : parts)
        out.append(QString::fromUtf16(p));
    return out.join(kBreak);
}

} // namespace

class TestWrapClue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wraps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");

        const QString tenLetters = QStringLiteral("abcdefghij");
        const QString longWord = QString(40, u'x');

        QTest::newRow("empty") << QString() << 33 << QString();
        QTest::newRow("33 characters") << QStringLiteral("Capital of Burkina Faso, in short") << 33
                                       << QStringLiteral("Capital of Burkina Faso, in short");
        QTest::newRow("34 characters") << QStringLiteral("A clue of exactly thirty four char") << 33
                                       << lines({u"A clue of exactly thirty four ", u"char"});
        QTest::newRow("34, word ends at 31") << QStringLiteral("Words that end at thirty one!!! xy") << 33
                                             << lines({u"Words that end at thirty one!!! ", u"xy"});
        QTest::newRow("Ouagadougou") << QStringLiteral("Country whose capital is Ouagadougou, in West Africa")
                                     << 33 << lines({u"Country whose capital is ", u"Ouagadougou, in West Africa"});
        QTest::newRow("word ends at 31") << QStringLiteral("Words that end at thirty one!!! xyz") << 33
                                         << lines({u"Words that end at thirty one!!! ", u"xyz"});
        QTest::newRow("word ends at 32") << QStringLiteral("Words that end at thirty two!!!! xyz") << 33
                                         << lines({u"Words that end at thirty ", u"two!!!! xyz"});
        QTest::newRow("six ten-letter words")
            << QStringList(6, tenLetters).join(u' ') << 33
            << QStringList(3, tenLetters + u' ' + tenLetters).join(QStringLiteral(" ") + kBreak);
        QTest::newRow("one long word") << longWord << 33 << longWord;
        QTest::newRow("long first word") << longWord + QStringLiteral(" and more") << 33
                                         << longWord + u' ' + kBreak + QStringLiteral("and more");
        QTest::newRow("first word ends at 32") << QString(32, u'y') + QStringLiteral(" and more") << 33
                                               << QString(32, u'y') + u' ' + kBreak + QStringLiteral("and more");
        QTest::newRow("long word in the middle") << QStringLiteral("a ") + longWord + QStringLiteral(" b") << 33
                                                 << QStringLiteral("a ") + kBreak + longWord + u' ' + kBreak + u'b';
        QTest::newRow("long word last") << QStringLiteral("a ") + longWord << 33
                                        << QStringLiteral("a ") + kBreak + longWord;
        QTest::newRow("long word, trailing spaces only") << longWord + QStringLiteral("   ") << 33
                                                         << longWord + QStringLiteral("   ");
        QTest::newRow("double space before the break")
            << QStringLiteral("Country whose capital is  Ouagadougou, in West Africa") << 33
            << lines({u"Country whose capital is ", u" Ouagadougou, in West Africa"});
        QTest::newRow("double spaces inside the line")
            << QStringLiteral("Country  whose capital  is Ouagadougou, in West Africa") << 33
            << lines({u"Country  whose capital  is ", u"Ouagadougou, in West Africa"});
        QTest::newRow("leading spaces") << QStringLiteral("   ") + longWord + QStringLiteral(" b") << 33
                                        << QStringLiteral("   ") + longWord + u' ' + kBreak + u'b';
        // Positions count characters: a surrogate pair is one.
        QTest::newRow("characters, not UTF-16 units")
            << QString::fromUtf16(u"\U0001F600\U0001F600 whose capital is Ouagadougou today") << 33
            << lines({u"\U0001F600\U0001F600 whose capital is Ouagadougou ", u"today"});
    }

    void wraps()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(WrapClue(text, width), expected);
    }

    // Whatever the text, wrapping only inserts breaks with their indent,
    // right after a space, and keeps every line but the last shorter than
    // the width unless it is a single word.
    void keepsTheTextAndItsLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::newRow("long clue") << QStringLiteral(
            "A fairly long clue that goes on and on about nothing in particular, to fill up "
            "several printed lines of a narrow clue column") << 33;
        QTest::newRow("narrow") << QStringLiteral("one two three four five six seven eight nine ten") << 9;
        QTest::newRow("spaces everywhere") << QStringLiteral("  a  bb   ccc    dddd     eeeee  ffffff   g  ") << 7;
        QTest::newRow("words longer than the width") << QStringLiteral("tiny enormousword x y verylongword z") << 6;
    }

    void keepsTheTextAndItsLines()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        const QString wrapped = WrapClue(text, width);
        QCOMPARE(QString(wrapped).replace(kBreak, QString()), text);
        const QStringList parts = wrapped.split(kBreak);
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
            const QString &line = parts.at(i);
            QVERIFY2(line.endsWith(u' '), qPrintable(line));
            const bool oneWord = !line.trimmed().contains(u' ');
            QVERIFY2(line.size() < width || oneWord, qPrintable(line));
        }
        QVERIFY(parts.constLast().size() <= width || !parts.constLast().trimmed().contains(u' '));
    }
};

QTEST_APPLESS_MAIN(TestWrapClue)
#include "tst_print_wrapclue.moc"
