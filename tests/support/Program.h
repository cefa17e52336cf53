#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace pendra::test {

// One run of the real pendra binary, with no display and a private config
// folder unless the caller gives an environment.
struct Run {
    int status = -1;
    bool crashed = false;
    QString out;
    QString err;
    QByteArray rawOut; // standard output as bytes, for output that is no text
};

inline QProcessEnvironment quietEnvironment(const QString& configHome)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    return env;
}

inline Run runProgram(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
                      const QString& workingDirectory = {}, int timeoutMs = 60000)
{
    QProcess process;
    process.setProcessEnvironment(env);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.crashed = true;
    }
    run.crashed = run.crashed || process.exitStatus() != QProcess::NormalExit;
    run.status = process.exitCode();
    run.rawOut = process.readAllStandardOutput();
    run.out = QString::fromUtf8(run.rawOut);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace pendra::test
