#include "SoakSite.h"

#include "CardFile.h"
#include "Language.h"
#include "ProgressState.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "TableStore.h"
#include "UserPrompt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

constexpr int SourceId = 1;
constexpr int TargetId = 2;
constexpr int RecordsPerGroup = 2;
constexpr int TcpConnectMs = 5000;

// Nobody answers questions in a soak: an incomplete card list is not saved, and each round
// writes files of its own anyway.
class SilentPrompt : public UserPrompt
{
public:
    void message(const QString &, const QString &) override {}
    bool question(const QString &, const QString &) override { return false; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &) override { return {}; }
};

QByteArray Digits(quint32 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0').right(width);
}

// A new value of the same width: digits for digits, so the controller takes it.
QByteArray ChangedValue(const QByteArray &value, QRandomGenerator &random)
{
    QByteArray changed = value;
    for (char &c : changed) {
        if (c >= '0' && c <= '9')
            c = static_cast<char>('0' + random.bounded(10));
    }
    // Never the record of sixteen zeros that closes a family.
    if (changed == QByteArray(changed.size(), '0'))
        changed.back() = '1';
    return changed;
}

QByteArray RandomCard(QRandomGenerator &random)
{
    const QByteArray pin = random.bounded(2) ? Digits(random.generate(), 4) : QByteArray("XXXX");
    return EncodedCardRecord(QByteArray::number(1 + random.bounded(0x7FFFFFFFu), 16),
                             1 + int(random.bounded(99u)), int(random.bounded(10u)), pin,
                             int(random.bounded(2u)));
}

} // namespace

SoakSite::SoakSite(SimulatorHost::Endpoint endpoint, const FaultSettings &faults, quint32 seed,
                   int lastCard)
    : endpoint_(endpoint), faults_(faults), lastCard_(lastCard), random_(seed)
{
    SimulatorConfig config;
    config.seed = seed;
    config.faults = faults;
    switch (endpoint) {
    case SimulatorHost::Endpoint::Tcp:
        config.tcpPort = 0;
        break;
    case SimulatorHost::Endpoint::Udp:
        config.udpPort = 0;
        break;
    case SimulatorHost::Endpoint::Serial:
        config.serial = true;
        break;
    }
    config.controllers = {ControllerData::factory(SourceId, RecordsPerGroup),
                          ControllerData::factory(TargetId, RecordsPerGroup)};
    sim_ = std::make_unique<SimulatorHost>(config);
    QObject::connect(&comm_, &Comm::logLine, [this](const QString &line) {
        if (!exchangesBeforeStray_ && comm_.deliversStrayFrames())
            exchangesBeforeStray_ = exchanges_;
        ++exchanges_;
        const int result = QStringView(line).left(2).toInt();
        if (result == Comm::TimedOut || result == Comm::CrcMismatch || result == Comm::Incomplete ||
            result == Comm::Ambiguous)
            ++retries_;
    });
}

SoakSite::~SoakSite()
{
    comm_.CommClose();
}

bool SoakSite::open()
{
    if (!sim_->isRunning()) {
        error_ = sim_->errorString();
        return false;
    }
    const QString host = QStringLiteral("127.0.0.1");
    switch (endpoint_) {
    case SimulatorHost::Endpoint::Tcp: {
        comm_.CommOpenTcp(host, sim_->tcpPort());
        QEventLoop loop;
        QObject::connect(&comm_, &Comm::tcpConnected, &loop, &QEventLoop::quit);
        QTimer::singleShot(TcpConnectMs, &loop, &QEventLoop::quit);
        loop.exec();
        break;
    }
    case SimulatorHost::Endpoint::Udp:
        comm_.CommOpenUdp(host, sim_->udpPort(), 0);
        break;
    case SimulatorHost::Endpoint::Serial:
        comm_.CommOpenSerialDevice(sim_->serialPath(), QStringLiteral("115200,n,8,1"));
        break;
    }
    if (!comm_.TransportOpen()) {
        error_ = QStringLiteral("the link to the simulator cannot be opened");
        return false;
    }
    return true;
}

void SoakSite::changeSource()
{
    sim_->controller(0).modify([this](ControllerData &d) {
        for (auto it = d.parameters.begin(); it != d.parameters.end(); ++it) {
            if (random_.bounded(4) == 0)
                it.value() = ChangedValue(it.value(), random_);
        }
        for (auto it = d.groups.begin(); it != d.groups.end(); ++it) {
            if (it.value() != QByteArray(it.value().size(), '0') && random_.bounded(4) == 0)
                it.value() = ChangedValue(it.value(), random_);
        }
        d.cards.clear();
        for (int n = 1; n <= lastCard_; ++n) {
            if (random_.bounded(3) != 0)
                d.cards.insert(n, RandomCard(random_));
        }
        return true;
    });
}

void SoakSite::scrambleTarget()
{
    sim_->controller(1).modify([this](ControllerData &d) {
        for (auto it = d.parameters.begin(); it != d.parameters.end(); ++it)
            it.value() = ChangedValue(it.value(), random_);
        // Cards the restore must delete first, some outside the source's range.
        d.cards.clear();
        for (int i = 0; i < 20; ++i)
            d.cards.insert(1 + int(random_.bounded(uint(lastCard_ * 2))), RandomCard(random_));
        return true;
    });
}

SoakSite::Round SoakSite::runRound(const QString &folder)
{
    Round round;
    QElapsedTimer clock;
    clock.start();
    const quint64 exchangesBefore = exchanges_;
    const quint64 retriesBefore = retries_;
    changeSource();
    scrambleTarget();

    Settings settings(QDir(folder).filePath(QStringLiteral("soak.ini")));
    ProgressState progress;
    SharedFlag clockReadPaused;
    SharedFlag batchMode;
    SilentPrompt prompt;
    const Language language;
    AllBackup all(comm_, settings, progress, clockReadPaused, batchMode, prompt, language);
    // The product's pauses, apart from the settling wait after deleting all cards, which a
    // simulated controller does not need.
    all.setSettleWait(2, 1);
    const QString paramPath = QDir(folder).filePath(QStringLiteral("KT480NT-V5_Parameter.xml"));
    const QString cardPath = QDir(folder).filePath(QStringLiteral("KT480NT-V5_CardData.xml"));

    comm_.setDeviceIDText(QStringLiteral("0001"));
    const ControllerData source = sim_->controller(0).snapshot();
    const AllBackup::Outcome backup = all.backup(paramPath, cardPath, CardRange(1, lastCard_));
    TableStore params;
    params.LoadFromFile(paramPath);
    TableStore cards;
    CardFile::Load(cards, cardPath);
    SoakFindings backupFindings = CheckParameterBackup(source, params, backup);
    backupFindings.add(CheckCardBackup(source, 1, lastCard_, cards, backup));
    if (backup.complete() && !backupFindings.silent.isEmpty())
        ++round.falseOk;

    comm_.setDeviceIDText(QStringLiteral("0002"));
    // The soak measures the transfers: no card lies outside the range it backs up.
    all.setOutsideCheckCeiling(lastCard_);
    const AllBackup::Outcome restore =
        all.restore(paramPath, cardPath, QString::fromLatin1(source.versionText),
                    {CardRange(1, lastCard_), true, false});
    const ControllerData target = sim_->controller(1).snapshot();
    SoakFindings restoreFindings = CheckParameterRestore(params, target, restore);
    restoreFindings.add(CheckCardRestore(cards, target, restore));
    if (restore.complete() && !restoreFindings.silent.isEmpty())
        ++round.falseOk;

    round.findings = backupFindings;
    round.findings.add(restoreFindings);
    round.exchanges = exchanges_ - exchangesBefore;
    round.retries = retries_ - retriesBefore;
    round.seconds = double(clock.nsecsElapsed()) / 1e9;
    return round;
}
