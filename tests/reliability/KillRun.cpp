#include "KillRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <dirent.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr int WaitMs = 60000;

// Whether the process holds a file of the folder open: a file being saved there (also one
// without a name yet, which the link shows as "FOLDER/#123 (deleted)"), other than `keptOpen`.
bool WritingInto(qint64 pid, const QString &folder, const QStringList &keptOpen = {})
{
    const QString canonical = QDir(folder).canonicalPath();
    if (canonical.isEmpty())
        return false;
    const QByteArray prefix = QFile::encodeName(canonical) + '/';
    const QByteArray fdFolder = "/proc/" + QByteArray::number(pid) + "/fd";
    DIR *fds = ::opendir(fdFolder.constData());
    if (!fds)
        return false;
    bool found = false;
    while (const dirent *entry = ::readdir(fds)) {
        char target[4096];
        const QByteArray link = fdFolder + '/' + entry->d_name;
        const ssize_t length = ::readlink(link.constData(), target, sizeof target);
        const QByteArray path(target, length > 0 ? length : 0);
        if (path.startsWith(prefix) &&
            !keptOpen.contains(QFile::decodeName(path.mid(prefix.size())))) {
            found = true;
            break;
        }
    }
    ::closedir(fds);
    return found;
}

// Alive and not yet a zombie that waits to be reaped.
bool Running(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(") ");
    return close > 0 && close + 2 < line.size() && line[close + 2] != 'Z' && line[close + 2] != 'X';
}

KillRun::Result Finish(QProcess &process, KillRun::Result result, const QElapsedTimer &clock)
{
    process.waitForFinished(WaitMs);
    result.elapsedMs = clock.elapsed();
    if (!result.killed)
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

} // namespace

KillRun::Plain KillRun::run(const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(environment_);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program_, arguments);
    Plain plain;
    if (process.waitForFinished(WaitMs) && process.exitStatus() == QProcess::NormalExit)
        plain.exitCode = process.exitCode();
    plain.output = QString::fromLocal8Bit(process.readAll());
    return plain;
}

qint64 KillRun::plainRunMs(const QStringList &arguments, int runs, int *exitCode)
{
    qint64 shortest = -1;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(environment_);
        QElapsedTimer clock;
        clock.start();
        process.start(program_, arguments);
        process.waitForFinished(WaitMs);
        const qint64 ms = clock.elapsed();
        shortest = shortest < 0 ? ms : std::min(shortest, ms);
        if (exitCode)
            *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    return shortest;
}

KillRun::Result KillRun::killAfter(const QStringList &arguments, qint64 delayMs,
                                   const QString &savedFolder)
{
    QProcess process;
    process.setProcessEnvironment(environment_);
    QElapsedTimer clock;
    clock.start();
    process.start(program_, arguments);
    process.waitForStarted(WaitMs);
    Result result;
    const qint64 left = delayMs - clock.elapsed();
    if (left > 0 && process.waitForFinished(int(left)))
        return Finish(process, result, clock);
    if (process.state() == QProcess::NotRunning)
        return Finish(process, result, clock);
    result.duringSave = WritingInto(process.processId(), savedFolder);
    process.kill();
    result.killed = true;
    return Finish(process, result, clock);
}

KillRun::Result KillRun::killAt(const QStringList &arguments, const Moment &moment, int pauseUs)
{
    QProcess process;
    process.setProcessEnvironment(environment_);
    QElapsedTimer clock;
    clock.start();
    process.start(program_, arguments);
    process.waitForStarted(WaitMs);
    const qint64 pid = process.processId();
    Result result;
    while (clock.elapsed() < WaitMs && Running(pid)) {
        if (const std::optional<bool> duringSave = moment(pid)) {
            ::kill(pid_t(pid), SIGKILL);
            result.killed = true;
            result.duringSave = *duringSave;
            break;
        }
        QThread::usleep(pauseUs);
    }
    return Finish(process, result, clock);
}

KillRun::Result KillRun::killOnNewFileIn(const QStringList &arguments, const QString &folder,
                                         const QStringList &keptOpen)
{
    return killAt(
        arguments,
        [&](qint64 pid) {
            return WritingInto(pid, folder, keptOpen) ? std::optional(true) : std::nullopt;
        },
        20);
}

KillRun::Result KillRun::killWhenChanged(const QStringList &arguments, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // What the path is now: whether it exists, which file it is and when that was written.
    const auto state = [&name] {
        struct stat info
        {
        };
        if (::lstat(name.constData(), &info) != 0)
            return QByteArray("-");
        return QByteArray::number(qulonglong(info.st_ino)) + ' ' +
               QByteArray::number(qlonglong(info.st_size)) + ' ' +
               QByteArray::number(qlonglong(info.st_mtim.tv_sec)) + '.' +
               QByteArray::number(qlonglong(info.st_mtim.tv_nsec));
    };
    const QByteArray before = state();
    // The moment is short: this thread's sleeps end on time, not up to 50 us late.
    const int slack = ::prctl(PR_GET_TIMERSLACK);
    ::prctl(PR_SET_TIMERSLACK, 1UL);
    const Result result = killAt(
        arguments, [&](qint64) { return state() != before ? std::optional(true) : std::nullopt; },
        5);
    ::prctl(PR_SET_TIMERSLACK, qulonglong(slack > 0 ? slack : 50000));
    return result;
}

KillRun::Result KillRun::killWhenGone(const QStringList &arguments, const QString &file,
                                      const QString &changed)
{
    const auto size = [](const QByteArray &path) {
        struct stat info
        {
        };
        return ::stat(path.constData(), &info) == 0 ? qint64(info.st_size) : qint64(-1);
    };
    const QByteArray path = QFile::encodeName(file);
    const QByteArray changedPath = QFile::encodeName(changed);
    const qint64 sizeBefore = size(changedPath);
    bool armed = false;
    bool present = false;
    return killAt(
        arguments,
        [&](qint64) -> std::optional<bool> {
            const bool now = ::access(path.constData(), F_OK) == 0;
            if (armed && present && !now)
                return false;
            present = now;
            armed = armed || size(changedPath) != sizeBefore;
            return std::nullopt;
        },
        10);
}

KillRun::Result KillRun::killWhileSaving(const QStringList &arguments, const QString &savedFolder,
                                         QRandomGenerator &random, int maxDelayUs)
{
    return killAt(
        arguments,
        [&](qint64 pid) -> std::optional<bool> {
            if (!WritingInto(pid, savedFolder))
                return std::nullopt;
            QThread::usleep(random.bounded(maxDelayUs + 1));
            return WritingInto(pid, savedFolder);
        },
        50);
}
