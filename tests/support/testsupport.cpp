#include "testsupport.h"

#include <QFile>

namespace norvale::test {

QString dataDir() { return qEnvironmentVariable("NORVALE_TEST_DATA"); }
QString sharedFixturesDir() { return qEnvironmentVariable("NORVALE_SHARED_FIXTURES"); }
QString norvaleBinary() { return qEnvironmentVariable("NORVALE_BINARY"); }

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

puzwriter::PuzzleSource tinySource()
{
    puzwriter::PuzzleSource s;
    s.title = QStringLiteral("Tiny");
    s.author = QStringLiteral("Norvale");
    s.copyright = QStringLiteral("Public domain");
    s.rows = {QStringLiteral("AB."), QStringLiteral("CDE"), QStringLiteral(".FG")};
    s.across = {QStringLiteral("Top row"), QStringLiteral("Middle row"), QStringLiteral("Bottom row")};
    s.down = {QStringLiteral("Left"), QStringLiteral("Centre"), QStringLiteral("Right")};
    return s;
}

} // namespace norvale::test
