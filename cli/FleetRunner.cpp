#include "FleetRunner.h"

#include <QEventLoop>
#include <QHash>
#include <QThread>
#include <atomic>
#include <exception>
#include <memory>
#include <vector>

QList<QList<int>> FleetRunner::lanes(const QList<FleetController> &controllers)
{
    QList<QList<int>> result;
    QHash<QString, qsizetype> laneOfLine;
    for (int i = 0; i < controllers.size(); ++i) {
        const QString &line = controllers[i].lineKey;
        const auto found = laneOfLine.constFind(line);
        if (found != laneOfLine.cend()) {
            result[*found].append(i);
        } else {
            laneOfLine.insert(line, result.size());
            result.append(QList<int>{i});
        }
    }
    return result;
}

QList<FleetResult> FleetRunner::run(const QList<FleetController> &controllers, int jobs,
                                    const Job &job, const Finished &finished)
{
    const QList<QList<int>> work = lanes(controllers);
    QList<FleetResult> results(controllers.size());
    std::atomic<qsizetype> nextLane{0};
    QEventLoop loop;
    int running = 0;

    // Each result is handed to this thread, which alone touches the results and the caller.
    auto worker = [&] {
        for (qsizetype lane = nextLane++; lane < work.size(); lane = nextLane++) {
            for (const int index : work[lane]) {
                FleetResult result;
                try {
                    result = job(controllers[index]);
                } catch (const std::exception &e) {
                    result.name = controllers[index].name;
                    result.failures << QStringLiteral("stopped by an error: %1")
                                           .arg(QString::fromLocal8Bit(e.what()));
                } catch (...) {
                    result.name = controllers[index].name;
                    result.failures << QStringLiteral("stopped by an unknown error");
                }
                QMetaObject::invokeMethod(
                    &loop,
                    [&, index, result] {
                        results[index] = result;
                        if (finished)
                            finished(result);
                    },
                    Qt::QueuedConnection);
            }
        }
    };

    std::vector<std::unique_ptr<QThread>> threads;
    const qsizetype count = std::clamp<qsizetype>(jobs, 1, std::max<qsizetype>(1, work.size()));
    for (qsizetype i = 0; i < count; ++i) {
        threads.emplace_back(QThread::create(worker));
        QObject::connect(threads.back().get(), &QThread::finished, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
        ++running;
        threads.back()->start();
    }
    if (running > 0)
        loop.exec();
    for (const auto &thread : threads)
        thread->wait();
    return results;
}
