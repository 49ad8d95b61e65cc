// Discovery against in-process simulators: a TCP scan of 127.0.0.1-254 with controllers on
// two addresses, and the serial search window over four pseudo-terminals, each beside the
// time the one-at-a-time schedule would take, with the event-loop latency during the run.
#include "Comm.h"
#include "NetworkSearch.h"
#include "SimulatorHost.h"
#include "TfrmComSearch.h"
#include "TfrmNetSearch.h"
#include "UserPrompt.h"

#include <Language.h>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

// The longest the event loop stayed away from a 10 ms timer while it ran.
class LatencyProbe
{
public:
    LatencyProbe()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { worstMs_ = qMax(worstMs_, clock_.restart() - 10); });
        clock_.start();
        timer_.start();
    }
    qint64 worstMs() const { return worstMs_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 worstMs_ = 0;
};

double CpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

class SilentPrompt : public UserPrompt
{
public:
    void message(const QString &text, const QString &) override { last = text; }
    bool question(const QString &, const QString &) override { return false; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &) override { return {}; }
    QString last;
};

std::unique_ptr<SimulatorHost> TcpController(int host, quint16 port)
{
    SimulatorConfig config;
    config.bindAddress = QHostAddress(QStringLiteral("127.0.0.%1").arg(host));
    config.tcpPort = port;
    return std::make_unique<SimulatorHost>(config);
}

std::unique_ptr<SimulatorHost> SerialLine(qint32 baudRate, int deviceId)
{
    SimulatorConfig config;
    config.serial = true;
    config.serialBaudRate = baudRate;
    config.controllers = {ControllerData::factory(deviceId)};
    return std::make_unique<SimulatorHost>(config);
}

bool WaitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

int TcpBenchmark()
{
    // Two controllers on one port: 127.0.0.100 and 127.0.0.254.
    std::unique_ptr<SimulatorHost> first;
    std::unique_ptr<SimulatorHost> second;
    for (int tries = 0; tries < 20 && !(second && second->isRunning()); ++tries) {
        first = TcpController(100, 0);
        second = first->isRunning() ? TcpController(254, first->tcpPort()) : nullptr;
    }
    if (!second || !second->isRunning()) {
        std::fprintf(stderr, "tcp: no common port for the two simulators\n");
        return 1;
    }
    const quint16 port = first->tcpPort();

    NetworkSearch::Request request;
    request.network = QStringLiteral("127.0.0");
    request.first = 1;
    request.last = 254;
    request.port = port;
    request.all = true;
    NetworkSearch search;
    QEventLoop loop;
    QObject::connect(&search, &NetworkSearch::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    const double cpu = CpuSeconds();
    LatencyProbe latency;
    clock.start();
    if (!search.start(request))
        return 1;
    loop.exec();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    // One attempt opened every 500 ms, the controllers probed as their turn comes.
    const double schedule = (request.last - request.first + 1) * 0.5;
    std::printf("tcp scan 127.0.0.1-254, port %u, --all: %d controllers in %.3f s "
                "(cpu %.3f s, event loop late by at most %lld ms); one address every 500 ms: "
                "%.1f s to open the range alone\n",
                port, int(search.hits().size()), seconds, CpuSeconds() - cpu, latency.worstMs(),
                schedule);

    // The window stops at the first controller; its event loop while it scans.
    const Language language;
    SilentPrompt prompt;
    TfrmNetSearch window(language, prompt);
    window.show();
    window.edtIP01->setText(QStringLiteral("127"));
    window.edtIP02->setText(QStringLiteral("0"));
    window.edtIP03->setText(QStringLiteral("0"));
    window.edtIP04->setText(QStringLiteral("1"));
    window.edtIP05->setText(QStringLiteral("254"));
    window.edtPort->setText(QString::number(port));
    LatencyProbe windowLatency;
    clock.restart();
    window.btnSearch->click();
    WaitUntil([&] { return !window.searching(); }, 60000);
    std::printf("network search window 127.0.0.1-254: \"%s\" in %.3f s, event loop late by at "
                "most %lld ms\n",
                qPrintable(prompt.last), double(clock.nsecsElapsed()) / 1e9,
                windowLatency.worstMs());
    return search.hits().size() == 2 ? 0 : 1;
}

int SerialBenchmark()
{
    // COM1 to COM4 are tried from COM4 down; the controller (9600 baud, ID 3) is on COM1.
    std::vector<std::unique_ptr<SimulatorHost>> lines;
    ComPortMap map;
    for (int n = 1; n <= 4; ++n) {
        lines.push_back(n == 1 ? SerialLine(9600, 3) : SerialLine(1200, 1));
        if (lines.back()->serialPath().isEmpty())
            return 1;
        map.assign(n, lines.back()->serialPath());
    }

    // The time-out of this run: one unanswered exchange on a silent line.
    Comm probe;
    probe.CommOpenSerialDevice(lines.back()->serialPath(), QStringLiteral("9600,e,8,1"));
    QElapsedTimer clock;
    clock.start();
    probe.CommExchange(QStringLiteral("0001DB"), 6);
    const double timeout = double(clock.nsecsElapsed()) / 1e9;
    probe.CommClose();

    const Language language;
    SilentPrompt prompt;
    TfrmComSearch window(language, prompt, [&map](ComPortMap &into) {
        into = map;
        return QStringList{QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                           QStringLiteral("COM4")};
    });
    window.show();
    window.edID01->setText(QStringLiteral("1"));
    window.edID02->setText(QStringLiteral("4"));
    const double cpu = CpuSeconds();
    LatencyProbe latency;
    clock.restart();
    window.btnSearch->click();
    WaitUntil([&] { return !window.tmrSearch.isActive() && !window.searching(); }, 120000);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;

    // One at a time: three silent ports of 16 settings x 4 IDs x 3 attempts, then on COM1
    // the 12 settings above 9600,e,8,1 and IDs 1 and 2 there.
    const int silentExchanges = 3 * 16 * 4 * 3 + 12 * 4 * 3 + 2 * 3;
    // A silent setting costs two broadcasts: the ports' 16 settings side by side.
    const double budget = 20.0;
    std::printf("serial search 4 ptys x 16 settings x IDs 1-4, controller 9600,e,8,1 ID 3 on "
                "the last port tried: \"%s\" in %.3f s (budget %.0f s; cpu %.3f s, event loop "
                "late by at most %lld ms); one at a time: %d silent exchanges x %.3f s = %.1f s\n",
                qPrintable(prompt.last), seconds, budget, CpuSeconds() - cpu, latency.worstMs(),
                silentExchanges, timeout, silentExchanges * timeout);
    if (seconds > budget)
        std::fprintf(stderr, "serial search: %.3f s is above its budget of %.0f s\n", seconds,
                     budget);
    return window.result() && seconds <= budget ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // A benchmark talks to its own simulators only, and shows no window.
    qputenv("KT480_LOOPBACK_ONLY", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int tcp = TcpBenchmark();
    const int serial = SerialBenchmark();
    return tcp == 0 && serial == 0 ? 0 : 1;
}
