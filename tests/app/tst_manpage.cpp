#include "testsupport.h"

#include <QRegularExpression>
#include <QTest>

using namespace norvale;

namespace {

// "--convert-to <dir>" and "-q" as the help shows them, written
// "--convert-to DIR" and "-q" as the manual page does.
QStringList helpOptions(const QString &help)
{
    QStringList options;
    bool inOptions = false;
    for (const QString &line : help.split(u'\n')) {
        if (line.startsWith(u"Options:"))
            inOptions = true;
        else if (!line.startsWith(u' '))
            inOptions = false;
        const QString item = line.trimmed().section(u"  "_qs, 0, 0);
        if (!inOptions || !item.startsWith(u'-'))
            continue;
        for (QString option : item.split(u", "_qs)) {
            static const QRegularExpression value(u"<([a-z-]+)>"_qs);
            const QRegularExpressionMatch m = value.match(option);
            if (m.hasMatch())
                option.replace(m.capturedStart(), m.capturedLength(), m.captured(1).toUpper());
            options.append(option);
        }
    }
    return options;
}

// The tags of the .TP items under OPTIONS, with the mark-up taken out:
// ".BI \-\-pdf " FILE"" gives "--pdf FILE", ".BR \-q ", " \-\-quiet"
// gives "-q" and "--quiet".
QStringList manOptions(const QString &page)
{
    QStringList options;
    const QStringList lines = page.split(u'\n');
    bool inOptions = false;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines.at(i).startsWith(u".SH"))
            inOptions = lines.at(i) == u".SH OPTIONS";
        if (!inOptions || lines.at(i) != u".TP")
            continue;
        QString tag = lines.at(i + 1).section(u' ', 1);
        tag.replace(u"\\-"_qs, u"-"_qs).remove(u'"');
        tag.remove(QRegularExpression(u"\\\\f[BIRP]"_qs));
        for (const QString &option : tag.split(u", "_qs))
            options.append(option.simplified());
    }
    return options;
}

} // namespace

class TestManPage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The manual page describes exactly the options the program has, in
    // the order of --help, with the same values.
    void optionsAgreeWithHelp()
    {
        const test::ProcessOutcome help = test::runProgram(test::norvaleBinary(), {u"--help"_qs});
        QCOMPARE(help.status, 0);
        const QStringList fromHelp = helpOptions(help.out);
        QVERIFY(fromHelp.contains(u"--thumbnail SIZE"_qs));
        QVERIFY(fromHelp.contains(u"-q"_qs) && fromHelp.contains(u"--quiet"_qs));

        const QString page = QString::fromUtf8(test::readFile(QStringLiteral(NORVALE_MANPAGE)));
        QVERIFY(!page.isEmpty());
        QCOMPARE(manOptions(page), fromHelp);
    }
};

QTEST_GUILESS_MAIN(TestManPage)
#include "tst_manpage.moc"
