#pragma once

#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// One start of kt480ctl that is killed (SIGKILL) at a chosen moment: a number of
// milliseconds after the start, or while it is writing a file into a folder (seen among its
// open files). Linux only: the open files are read from /proc.
class KillRun
{
public:
    struct Result
    {
        bool killed = false;     // false: it ended on its own before the moment came
        bool duringSave = false; // a file in the watched folder was open when it was killed
        int exitCode = -1;       // when it ended on its own
        qint64 elapsedMs = 0;
    };

    KillRun(QString program, QProcessEnvironment environment)
        : program_(std::move(program)), environment_(std::move(environment))
    {
    }

    // One run left alone: its exit code and what it printed.
    struct Plain
    {
        int exitCode = -1;
        QString output;
    };
    Plain run(const QStringList &arguments);
    // How long a run takes when it is left alone (the shortest of a few), and its exit code.
    qint64 plainRunMs(const QStringList &arguments, int runs, int *exitCode = nullptr);
    // Kills the run delayMs after its start.
    Result killAfter(const QStringList &arguments, qint64 delayMs, const QString &savedFolder);
    // Kills the run the moment the file vanishes once the other file has changed size: the
    // moment a database's rollback journal is gone (its transaction committed) after the run
    // wrote to its event journal.
    Result killWhenGone(const QStringList &arguments, const QString &file, const QString &changed);
    // Kills the run while it writes into the folder, up to maxDelayUs after that is seen.
    Result killWhileSaving(const QStringList &arguments, const QString &savedFolder,
                           QRandomGenerator &random, int maxDelayUs);
    // Kills the run the moment the path changes: appears, goes, or is replaced or rewritten.
    Result killWhenChanged(const QStringList &arguments, const QString &path);
    // Kills the run the moment it opens a file in the folder other than those named (files it
    // keeps open all along, such as a journal and its lock).
    Result killOnNewFileIn(const QStringList &arguments, const QString &folder,
                           const QStringList &keptOpen);

private:
    // Given the run's process id: empty while the moment has not come, else whether the kill
    // falls into a save.
    using Moment = std::function<std::optional<bool>(qint64 pid)>;
    // Starts the run and kills it the first time the moment comes, looking every pauseUs.
    Result killAt(const QStringList &arguments, const Moment &moment, int pauseUs);

    QString program_;
    QProcessEnvironment environment_;
};
