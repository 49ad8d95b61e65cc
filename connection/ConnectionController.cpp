#include "ConnectionController.h"

#include "DeviceId.h"
#include "SerialPortList.h"

#include <Comm.h>
#include <Language.h>
#include <Settings.h>
#include <SharedFlag.h>

namespace {
const QString SerialNumberPlaceholder = QStringLiteral("________");
const QString VersionPlaceholder = QStringLiteral("__.__-__");

QString ComPortText(int portNumber)
{
    return QStringLiteral("COM%1").arg(portNumber);
}
} // namespace

ConnectionController::ConnectionController(Comm &comm, Settings &settings, const Language &language,
                                           const SharedFlag &clockReadPaused, Clock clock,
                                           QObject *parent)
    : QObject(parent), comm_(comm), settings_(settings), language_(language),
      clockReadPaused_(clockReadPaused), clock_(std::move(clock)), tmrTimeOut_(this),
      tmrClock_(this)
{
    tmrTimeOut_.setObjectName(QStringLiteral("tmrTimeOut"));
    tmrTimeOut_.setInterval(200);
    tmrClock_.setObjectName(QStringLiteral("tmrClock"));
    tmrClock_.setInterval(1);
    serialNumberText_ = SerialNumberPlaceholder;
    versionText_ = VersionPlaceholder;
    connect(&tmrTimeOut_, &QTimer::timeout, this, &ConnectionController::tmrTimeOutTimer);
    connect(&tmrClock_, &QTimer::timeout, this, &ConnectionController::tmrClockTimer);
    // The identification runs its own exchanges; it must not run inside the socket's signal.
    connect(&comm_, &Comm::tcpConnected, this, &ConnectionController::ClientSocket01Connect,
            Qt::QueuedConnection);
    connect(&comm_, &Comm::tcpDisconnected, this, &ConnectionController::failTcpAttempt);
    connect(&comm_, &Comm::tcpError, this, &ConnectionController::failTcpAttempt);
}

ConnectionController::~ConnectionController()
{
    comm_.disconnect(this);
    stop();
}

const ConnectionSettings &ConnectionController::loadSettings()
{
    connection_ = ConnectionSettings::Load(settings_);
    startTab_ = connection_.startTab;
    selectTab(startTab_);
    showBox(ConnectionField::UdpLocalPort, QString::number(ConnectionSettings::DefaultPort));
    // All three boxes: the start-up restore reads the box of the tab that is showing.
    if (connection_.deviceId)
        setDeviceId(*connection_.deviceId, true);
    refreshPortList();
    showBox(ConnectionField::ComPort, ports_.value(0));
    return connection_;
}

void ConnectionController::startClock()
{
    tmrClock_.setInterval(1);
    tmrClock_.start();
}

void ConnectionController::stop()
{
    tmrTimeOut_.stop();
    tmrClock_.stop();
    comm_.CommClose();
}

void ConnectionController::setBoxText(ConnectionField field, const QString &text)
{
    boxes_.insert(field, text);
}

void ConnectionController::boxEdited(ConnectionField field, const QString &text)
{
    setBoxText(field, text);
    if (!initialised_)
        return;
    switch (field) {
    case ConnectionField::ComPort:
        connection_.portNumber = 0;
        break;
    case ConnectionField::BaudRate:
        break;
    default:
        // The program itself rewrites these boxes during a connect.
        if (connectMark01_ || connectMark02_)
            return;
        break;
    }
    undoConnection();
}

void ConnectionController::showTab(ConnectionTab tab)
{
    activeTab_ = tab;
    if (!initialised_)
        return;
    undoConnection();
    setMainPanelEnabled(true);
    setConnectButtonsEnabled(true);
    settings_.SaveSetting(QStringLiteral("MainActivePage"), QString::number(static_cast<int>(tab)));
    settings_.sync();
}

void ConnectionController::undoConnection()
{
    comm_.CommClose();
    comm_.setDeviceConnected(false);
    clearStatus();
    setFunctionButtonsEnabled(false);
}

void ConnectionController::beginConnect()
{
    setWaitCursor(true);
    setIndicator(ConnectionIndicator::Blinking);
    setConnecting(true);
    comm_.setDeviceConnected(false);
    setSdCardLabel(QString());
    comm_.CommClose();
    setMainPanelEnabled(false);
    setConnectButtonsEnabled(false);
    setFunctionButtonsEnabled(false);
    setStatus(TextRow::Scanning);
    showPlaceholders();
}

// The end every attempt shares: the indicator, the status text and the buttons.
void ConnectionController::concludeConnect(bool connected, const QString &where)
{
    if (connected) {
        setIndicator(ConnectionIndicator::Connected);
        setStatus(TextRow::CommunicationOk, where);
    } else {
        setIndicator(ConnectionIndicator::Failed);
        setStatus(TextRow::CommunicationError);
    }
    setFunctionButtonsEnabled(connected);
    setConnecting(false);
    // Whatever ended the attempt, the user's edits undo the connection again.
    connectMark01_ = false;
    connectMark02_ = false;
    setMainPanelEnabled(true);
    setConnectButtonsEnabled(true);
    setWaitCursor(false);
}

bool ConnectionController::refuseOversizedPort(int port)
{
    if (port <= ConnectionSettings::HighestPort)
        return false;
    concludeConnect(false, QString());
    setStatus(TextRow::CommunicationError,
              QStringLiteral("  %1 > %2").arg(port).arg(ConnectionSettings::HighestPort));
    return true;
}

void ConnectionController::showIdentification(const IdentifyResult &result)
{
    if (!result.broadcastDeviceId.isEmpty()) {
        setDeviceId(result.broadcastDeviceId, true);
        connectMark01_ = false;
        connectMark02_ = false;
    }
    showIdentity(result.serialNumber.isEmpty() ? serialNumberText_ : result.serialNumber,
                 result.connected ? result.version : versionText_);
    if (result.connected)
        setSdCardLabel(result.sdCardLabel);
}

IdentifyResult ConnectionController::identifyOpenLink()
{
    Identifier identifier(comm_);
    const IdentifyResult result =
        comm_.CommMode() == Comm::Udp ? identifier.IdentifyUdp() : identifier.IdentifyTcp();
    showIdentification(result);
    return result;
}

QString ConnectionController::readVersion()
{
    const QString version = Identifier(comm_).ReadVersion();
    if (!version.isEmpty())
        showIdentity(serialNumberText_, version);
    return version;
}

std::optional<QString> ConnectionController::readSdCardLabel()
{
    const std::optional<QString> label = Identifier(comm_).ReadSdCardLabel();
    setSdCardLabel(label.value_or(QString()));
    return label;
}

void ConnectionController::connectSerial()
{
    beginConnect();
    setDeviceId(NormaliseDeviceId(box(ConnectionField::DeviceId01)), false);
    const QString portText = box(ConnectionField::ComPort);
    connection_.baudRate = box(ConnectionField::BaudRate);
    connectMark01_ = true;
    const IdentifyResult result = Identifier(comm_).IdentifySerial(
        connection_.portNumber, ComPortNumber(portText), connection_.baudRate);
    showIdentification(result);
    connectMark01_ = false;
    connectMark02_ = false;
    connection_.portNumber = result.connected ? result.portNumber : 0;
    if (result.connected) {
        readDeviceClock();
        SaveConnectionSettings(settings_, ConnectionTab::Serial, connection_, comm_.DeviceIDText());
    }
    const bool connected = comm_.DeviceConnected();
    refreshPortList();
    // Connected, the box names the port in use; otherwise the user's choice comes back.
    showBox(ConnectionField::ComPort, connected ? ComPortText(connection_.portNumber) : portText);
    concludeConnect(connected, QStringLiteral("  COM:%1").arg(connection_.portNumber));
}

void ConnectionController::connectTcp()
{
    beginConnect();
    setDeviceId(NormaliseDeviceId(box(ConnectionField::DeviceId02)), false);
    showBox(ConnectionField::TcpPort, QString::number(PortFromText(box(ConnectionField::TcpPort))));
    showBox(ConnectionField::TcpHost, box(ConnectionField::TcpHost).trimmed());
    const int port = PortFromText(box(ConnectionField::TcpPort));
    if (refuseOversizedPort(port)) {
        connection_.tcpPort = 0;
        return;
    }
    connectMark02_ = true;
    connectMark01_ = false;
    tcpAttemptRunning_ = true;
    tcpAttemptClock_.start();
    tmrTimeOut_.start();
    // A refused open leaves nothing to wait for: the next time-out tick reports the failure.
    if (!comm_.CommOpenTcp(box(ConnectionField::TcpHost), static_cast<quint16>(port)))
        tcpAttemptRunning_ = false;
}

void ConnectionController::ClientSocket01Connect()
{
    if (!tcpAttemptRunning_ || !comm_.TcpConnected())
        return;
    const IdentifyResult result = identifyOpenLink();
    if (result.connected) {
        readDeviceClock();
        connection_.tcpHost = box(ConnectionField::TcpHost);
        connection_.tcpPort = PortFromText(box(ConnectionField::TcpPort));
        SaveConnectionSettings(settings_, ConnectionTab::Tcp, connection_, comm_.DeviceIDText());
    }
    tmrTimeOut_.stop();
    tcpAttemptRunning_ = false;
    if (comm_.DeviceConnected()) {
        concludeConnect(
            true, QStringLiteral("  %1:%2").arg(connection_.tcpHost).arg(connection_.tcpPort));
    } else {
        comm_.CommClose();
        connection_.tcpPort = 0;
        concludeConnect(false, QString());
    }
}

// A TCP disconnect or error, during an attempt or on a working connection.
void ConnectionController::failTcpAttempt()
{
    tcpAttemptRunning_ = false;
    tmrTimeOut_.stop();
    connection_.tcpPort = 0;
    comm_.CommClose();
    concludeConnect(false, QString());
}

void ConnectionController::tmrTimeOutTimer()
{
    const qint64 elapsed = tcpAttemptClock_.elapsed() / 1000;
    if (elapsed < tcpTimeoutSeconds_ && tcpAttemptRunning_) {
        setStatus(TextRow::Scanning,
                  QLatin1Char(' ') + QString::number(tcpTimeoutSeconds_ - elapsed));
        return;
    }
    connectMark01_ = false;
    connectMark02_ = false;
    tmrTimeOut_.stop();
    // Concluded elsewhere: nothing more to do.
    if (!connecting_)
        return;
    tcpAttemptRunning_ = false;
    comm_.CommClose();
    concludeConnect(false, QString());
    if (!ports_.isEmpty())
        showBox(ConnectionField::ComPort, ports_.first());
}

void ConnectionController::connectUdp()
{
    beginConnect();
    // The Device ID the person sees on the UDP tab, beside the address, is the one used.
    setDeviceId(NormaliseDeviceId(box(ConnectionField::DeviceId03)), true);
    showBox(ConnectionField::TcpPort, QString::number(PortFromText(box(ConnectionField::TcpPort))));
    showBox(ConnectionField::TcpHost, box(ConnectionField::TcpHost).trimmed());
    const QString host = box(ConnectionField::UdpHost).trimmed();
    const int destination = PortFromText(box(ConnectionField::UdpDestinationPort));
    const int local = PortFromText(box(ConnectionField::UdpLocalPort));
    if (refuseOversizedPort(qMax(destination, local)))
        return;
    IdentifyResult result;
    if (comm_.CommOpenUdp(host, static_cast<quint16>(destination), static_cast<quint16>(local)))
        result = identifyOpenLink();
    if (result.connected) {
        readDeviceClock();
        connection_.udpHost = host;
        connection_.udpDestinationPort = destination;
        connection_.udpLocalPort = local;
        SaveConnectionSettings(settings_, ConnectionTab::Udp, connection_, comm_.DeviceIDText());
    }
    concludeConnect(comm_.DeviceConnected(), QStringLiteral("  %1:%2").arg(host).arg(destination));
}

// The link is closed before a search window opens and again after it closes, whatever
// happened in it.
std::optional<ControllerHit> ConnectionController::runSearch(ConnectionTab tab)
{
    setDeviceId(NormaliseDeviceId(box(tab == ConnectionTab::Serial ? ConnectionField::DeviceId01
                                                                   : ConnectionField::DeviceId02)),
                false);
    searchFound_.reset();
    undoConnection();
    emit searchRequested(tab);
    comm_.CommClose();
    return std::exchange(searchFound_, std::nullopt);
}

// A controller found is connected to as the user would.
void ConnectionController::searchSerial()
{
    const std::optional<ControllerHit> hit = runSearch(ConnectionTab::Serial);
    if (!hit || hit->transport != ControllerHit::Transport::Serial || hit->portNumber <= 0)
        return;
    // The search lists the ports afresh: a port plugged in since the last listing is known to
    // the link only once it is listed here too.
    refreshPortList();
    connection_.portNumber = hit->portNumber;
    connection_.baudRate = hit->lineSettings;
    showBox(ConnectionField::ComPort, ComPortText(hit->portNumber));
    showBox(ConnectionField::BaudRate, hit->lineSettings);
    setDeviceId(hit->deviceId, false);
    connectSerial();
}

void ConnectionController::searchNetwork()
{
    const std::optional<ControllerHit> hit = runSearch(ConnectionTab::Tcp);
    if (!hit || hit->transport != ControllerHit::Transport::Tcp)
        return;
    showBox(ConnectionField::TcpHost, hit->address);
    showBox(ConnectionField::TcpPort, QString::number(hit->portNumber));
    setDeviceId(hit->deviceId, true);
    connectTcp();
}

void ConnectionController::startupRestore()
{
    initialised_ = true;
    setWaitCursor(true);
    comm_.setDeviceConnected(false);
    setSdCardLabel(QString());
    showPlaceholders();
    const ConnectionField idBox = activeTab_ == ConnectionTab::Serial ? ConnectionField::DeviceId01
                                  : activeTab_ == ConnectionTab::Tcp  ? ConnectionField::DeviceId02
                                                                      : ConnectionField::DeviceId03;
    setDeviceId(NormaliseDeviceId(box(idBox)), true);
    if (connection_.portNumber > 0)
        showBox(ConnectionField::ComPort, ComPortText(connection_.portNumber));
    else if (!ports_.isEmpty())
        showBox(ConnectionField::ComPort, ports_.last());
    showBox(ConnectionField::BaudRate, connection_.baudRate);
    showBox(ConnectionField::TcpHost, connection_.tcpHost);
    showBox(ConnectionField::TcpPort,
            QString::number(connection_.tcpPort > 0 ? connection_.tcpPort
                                                    : ConnectionSettings::DefaultPort));
    showBox(ConnectionField::UdpHost, connection_.udpHost);
    showBox(ConnectionField::UdpDestinationPort,
            QString::number(connection_.udpDestinationPort > 0 ? connection_.udpDestinationPort
                                                               : ConnectionSettings::DefaultPort));
    showBox(ConnectionField::UdpLocalPort, QString::number(connection_.udpLocalPort));
    if (automaticConnect_) {
        if (startTab_ == ConnectionTab::Udp && connection_.udpDestinationPort > 0)
            connectUdp();
        else if (startTab_ == ConnectionTab::Tcp && connection_.tcpPort > 0)
            connectTcp();
        else if (startTab_ == ConnectionTab::Serial && connection_.portNumber > 0)
            connectSerial();
    }
    // A TCP attempt still running keeps the window locked until it concludes.
    if (!connecting_) {
        setMainPanelEnabled(true);
        setConnectButtonsEnabled(true);
        setWaitCursor(false);
    }
}

void ConnectionController::refreshPortList()
{
    ComPortMap map = comm_.comPortMap();
    ports_ = SerialPortList(settings_).Refresh(map);
    comm_.setComPortMap(map);
    emit portListChanged(ports_);
}

void ConnectionController::tmrClockTimer()
{
    if (!initialised_) {
        tmrClock_.setInterval(900);
        startupRestore();
    }
    const QDateTime now = clock_();
    systemTimeText_ = DeviceClock::DateTimeText(now);
    emit systemTimeChanged(systemTimeText_);
    const AutomaticClockRead rule{comm_.DeviceConnected(), activeTab_ == ConnectionTab::Tcp,
                                  comm_.TcpConnected(), clockReadPaused_.isSet() || connecting_,
                                  now.time().second()};
    if (rule.due())
        getDeviceTime();
}

void ConnectionController::takeDeviceIdFromActiveTab()
{
    const ConnectionField box = activeTab_ == ConnectionTab::Serial ? ConnectionField::DeviceId01
                                                                    : ConnectionField::DeviceId02;
    setDeviceId(NormaliseDeviceId(this->box(box)), false);
}

DeviceClock::ReadOutcome ConnectionController::readDeviceClock()
{
    QString clockText;
    const DeviceClock::ReadOutcome outcome = DeviceClock(comm_).Read(versionText_, clockText);
    switch (outcome) {
    case DeviceClock::ReadOutcome::Read:
        deviceTimeText_ = clockText;
        emit deviceTimeChanged(deviceTimeText_);
        break;
    case DeviceClock::ReadOutcome::Failed:
        // The user has to connect again; nothing may be started on the closed link.
        comm_.CommClose();
        setFunctionButtonsEnabled(false);
        setIndicator(ConnectionIndicator::Failed);
        setStatus(TextRow::CommunicationError);
        break;
    case DeviceClock::ReadOutcome::Refused:
        // Another operation is exchanging on this link; its work must go on.
        break;
    }
    return outcome;
}

bool ConnectionController::setDeviceClock(const Clock &now)
{
    const bool set = DeviceClock(comm_).Sync(now);
    setStatus(TextRow::SyncDateTime, set ? QStringLiteral(": OK!") : QStringLiteral(": Error!"));
    return set;
}

void ConnectionController::runClockOperation(const std::function<void()> &work)
{
    setMainPanelEnabled(false);
    setWaitCursor(true);
    if (comm_.DeviceConnected()) {
        setConnecting(true);
        takeDeviceIdFromActiveTab();
        work();
    }
    setConnecting(false);
    setMainPanelEnabled(true);
    setWaitCursor(false);
}

void ConnectionController::getDeviceTime()
{
    runClockOperation([this] { readDeviceClock(); });
}

void ConnectionController::syncDeviceTime()
{
    runClockOperation([this] {
        setDeviceClock(clock_);
        // The read that follows shows the clock as it now stands, and a lost link.
        readDeviceClock();
    });
}

void ConnectionController::showBox(ConnectionField field, const QString &text)
{
    boxes_.insert(field, text);
    emit boxChanged(field, text);
}

void ConnectionController::setDeviceId(const QString &deviceId, bool includeUdpBox)
{
    comm_.setDeviceIDText(deviceId);
    showBox(ConnectionField::DeviceId01, deviceId);
    showBox(ConnectionField::DeviceId02, deviceId);
    if (includeUdpBox)
        showBox(ConnectionField::DeviceId03, deviceId);
}

void ConnectionController::selectTab(ConnectionTab tab)
{
    activeTab_ = tab;
    emit tabSelected(tab);
}

void ConnectionController::setStatus(TextRow row, const QString &suffix)
{
    status_ = Status{row, suffix};
    showStatus();
}

void ConnectionController::clearStatus()
{
    status_.reset();
    showStatus();
}

QString ConnectionController::statusText() const
{
    return status_ ? language_.TableText(status_->row) + status_->suffix : QString();
}

void ConnectionController::showStatus()
{
    emit statusChanged(statusText());
}

void ConnectionController::languageChanged()
{
    showStatus();
}

void ConnectionController::setIndicator(ConnectionIndicator state)
{
    emit indicatorChanged(state);
}

void ConnectionController::showIdentity(const QString &serialNumber, const QString &version)
{
    serialNumberText_ = serialNumber;
    versionText_ = version;
    emit identityChanged(serialNumber, version);
}

void ConnectionController::showPlaceholders()
{
    showIdentity(SerialNumberPlaceholder, VersionPlaceholder);
}

void ConnectionController::setSdCardLabel(const QString &label)
{
    sdCardLabel_ = label;
    emit sdCardLabelChanged(label);
}

void ConnectionController::setMainPanelEnabled(bool enabled)
{
    emit mainPanelEnabledChanged(enabled);
}

void ConnectionController::setConnectButtonsEnabled(bool enabled)
{
    emit connectButtonsEnabledChanged(enabled);
}

void ConnectionController::setFunctionButtonsEnabled(bool enabled)
{
    functionButtonsEnabled_ = enabled;
    emit functionButtonsEnabledChanged(enabled);
}

void ConnectionController::setWaitCursor(bool on)
{
    if (on == waitCursor_)
        return;
    waitCursor_ = on;
    emit waitCursorChanged(on);
}

void ConnectionController::setConnecting(bool connecting)
{
    connecting_ = connecting;
    emit connectingChanged(connecting);
}
