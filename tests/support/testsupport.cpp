#include "testsupport.h"

#include <QFile>
#include <QProcess>

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

ProcessOutcome runProgram(const QString &program, const QStringList &args,
                          const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace norvale::test
