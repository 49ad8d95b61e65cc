#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// One run of kt480ctl to its end: exit code (-1 when it crashed or hung), output and errors.
struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline Run RunCtl(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral(KT480CTL_PATH), arguments);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
