#include "TfrmKT480NT5.h"

#include "AppContext.h"
#include "ClickablePanel.h"
#include "DeviceId.h"
#include "Identification.h"
#include "StatusIndicator.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {
constexpr int ScanningRow = 110;
constexpr int ErrorRow = 114;
constexpr int OkRow = 115;
constexpr int SdCardRow = 13;
constexpr int TcpTimeoutSeconds = 30;
} // namespace

void TfrmKT480NT5::beginConnect()
{
    setWaitCursor(true);
    indicator->show();
    indicator->setColour(Qt::blue);
    tmrScan.start();
    connecting_ = true;
    context_.comm.setDeviceConnected(false);
    sdCardLabel_.clear();
    context_.comm.CommClose();
    pnlMain->setEnabled(false);
    setConnectButtonsEnabled(false);
    setFunctionButtonsEnabled(false);
    setStatus(context_.language.TableText(ScanningRow));
    showPlaceholders();
    btnSdCard->setText(context_.language.TableText(SdCardRow));
}

// The end every attempt shares: the indicator, the status text and the buttons.
void TfrmKT480NT5::concludeConnect(bool connected, const QString &where)
{
    tmrScan.stop();
    indicator->show();
    if (connected) {
        indicator->setColour(Qt::blue);
        setStatus(context_.language.TableText(OkRow) + where);
    } else {
        indicator->setColour(Qt::red);
        setStatus(context_.language.TableText(ErrorRow));
    }
    setFunctionButtonsEnabled(connected);
    connecting_ = false;
    // Whatever ended the attempt, the user's edits undo the connection again.
    connectMark01_ = false;
    connectMark02_ = false;
    pnlMain->setEnabled(true);
    setConnectButtonsEnabled(true);
    setWaitCursor(false);
}

bool TfrmKT480NT5::refuseOversizedPort(int port)
{
    if (port <= ConnectionSettings::HighestPort)
        return false;
    concludeConnect(false, QString());
    setStatus(context_.language.TableText(ErrorRow) +
              QStringLiteral("  %1 > %2").arg(port).arg(ConnectionSettings::HighestPort));
    return true;
}

void TfrmKT480NT5::showBroadcastDeviceId(const IdentifyResult &result)
{
    if (!result.broadcastDeviceId.isEmpty()) {
        setDeviceId(result.broadcastDeviceId, true);
        connectMark01_ = false;
        connectMark02_ = false;
    }
    if (!result.serialNumber.isEmpty())
        pnSN->setText(result.serialNumber);
    if (result.connected)
        pnVER->setText(result.version);
}

void TfrmKT480NT5::btnConnect01Click()
{
    beginConnect();
    setDeviceId(NormaliseDeviceId(edID01->text()), false);
    const QString portText = cbxCommNo->currentText();
    connection_.baudRate = cbxBaudRate->currentText();
    connectMark01_ = true;
    const IdentifyResult result =
        Identifier(context_.comm)
            .IdentifySerial(connection_.portNumber, ComPortNumber(portText), connection_.baudRate);
    showBroadcastDeviceId(result);
    connectMark01_ = false;
    connectMark02_ = false;
    connection_.portNumber = result.connected ? result.portNumber : 0;
    if (result.connected) {
        readDeviceClock();
        SaveConnectionSettings(context_.settings, ConnectionTab::Serial, connection_,
                               context_.comm.DeviceIDText());
    }
    const bool connected = context_.comm.DeviceConnected();
    fillPortList();
    // Connected, the combo names the port in use; otherwise the user's choice comes back.
    cbxCommNo->setEditText(connected ? QStringLiteral("COM%1").arg(connection_.portNumber)
                                     : portText);
    concludeConnect(connected, QStringLiteral("  COM:%1").arg(connection_.portNumber));
}

void TfrmKT480NT5::btnConnect02Click()
{
    beginConnect();
    setDeviceId(NormaliseDeviceId(edID02->text()), false);
    edtPort->setText(QString::number(PortFromText(edtPort->text())));
    edtIP->setText(edtIP->text().trimmed());
    QCoreApplication::processEvents();
    const int port = PortFromText(edtPort->text());
    if (refuseOversizedPort(port)) {
        connection_.tcpPort = 0;
        return;
    }
    connectMark02_ = true;
    connectMark01_ = false;
    tcpAttemptRunning_ = true;
    tcpAttemptClock_.start();
    tmrTimeOut.start();
    // A refused open leaves nothing to wait for: the next time-out tick reports the failure.
    if (!context_.comm.CommOpenTcp(edtIP->text(), static_cast<quint16>(port)))
        tcpAttemptRunning_ = false;
}

void TfrmKT480NT5::ClientSocket01Connect()
{
    if (!tcpAttemptRunning_ || !context_.comm.TcpConnected())
        return;
    const IdentifyResult result = Identifier(context_.comm).IdentifyTcp();
    showBroadcastDeviceId(result);
    if (result.connected) {
        readDeviceClock();
        connection_.tcpHost = edtIP->text();
        connection_.tcpPort = PortFromText(edtPort->text());
        SaveConnectionSettings(context_.settings, ConnectionTab::Tcp, connection_,
                               context_.comm.DeviceIDText());
    }
    tmrTimeOut.stop();
    tcpAttemptRunning_ = false;
    if (context_.comm.DeviceConnected()) {
        concludeConnect(
            true, QStringLiteral("  %1:%2").arg(connection_.tcpHost).arg(connection_.tcpPort));
    } else {
        context_.comm.CommClose();
        connection_.tcpPort = 0;
        concludeConnect(false, QString());
    }
    connectMark01_ = false;
    connectMark02_ = false;
}

void TfrmKT480NT5::failTcpAttempt()
{
    tcpAttemptRunning_ = false;
    tmrTimeOut.stop();
    connection_.tcpPort = 0;
    context_.comm.CommClose();
    concludeConnect(false, QString());
}

void TfrmKT480NT5::ClientSocket01Disconnect()
{
    failTcpAttempt();
}

void TfrmKT480NT5::ClientSocket01Error()
{
    failTcpAttempt();
}

void TfrmKT480NT5::tmrTimeOutTimer()
{
    const qint64 elapsed = tcpAttemptClock_.elapsed() / 1000;
    if (elapsed < TcpTimeoutSeconds && tcpAttemptRunning_) {
        setStatus(context_.language.TableText(ScanningRow) + QLatin1Char(' ') +
                  QString::number(TcpTimeoutSeconds - elapsed));
        return;
    }
    connectMark01_ = false;
    connectMark02_ = false;
    tmrScan.stop();
    tmrTimeOut.stop();
    if (!connecting_)
        return;
    tcpAttemptRunning_ = false;
    context_.comm.CommClose();
    concludeConnect(false, QString());
    if (cbxCommNo->count() > 0)
        cbxCommNo->setCurrentIndex(0);
}

void TfrmKT480NT5::tmrScanTimer()
{
    indicator->toggleBlink();
}

void TfrmKT480NT5::btnConnect03Click()
{
    beginConnect();
    // The UDP tab's own Device ID box is only written; the TCP tab's box gives the ID.
    setDeviceId(NormaliseDeviceId(edID02->text()), false);
    edtPort->setText(QString::number(PortFromText(edtPort->text())));
    edtIP->setText(edtIP->text().trimmed());
    const QString host = edtIPudp->text().trimmed();
    const int destination = PortFromText(edtUPort01->text());
    const int local = PortFromText(edtUPort02->text());
    if (refuseOversizedPort(qMax(destination, local)))
        return;
    IdentifyResult result;
    if (context_.comm.CommOpenUdp(host, static_cast<quint16>(destination),
                                  static_cast<quint16>(local)))
        result = Identifier(context_.comm).IdentifyUdp();
    showBroadcastDeviceId(result);
    if (result.connected) {
        sdCardLabel_ = result.sdCardLabel;
        showSdCardCaption();
        readDeviceClock();
        connection_.udpHost = host;
        connection_.udpDestinationPort = destination;
        connection_.udpLocalPort = local;
        SaveConnectionSettings(context_.settings, ConnectionTab::Udp, connection_,
                               context_.comm.DeviceIDText());
    }
    concludeConnect(context_.comm.DeviceConnected(),
                    QStringLiteral("  %1:%2").arg(host).arg(destination));
}

void TfrmKT480NT5::undoConnection()
{
    context_.comm.CommClose();
    context_.comm.setDeviceConnected(false);
    sbMainText->clear();
    sbMainExtra->clear();
    setFunctionButtonsEnabled(false);
}

void TfrmKT480NT5::cbxCommNoChange()
{
    if (!initialised_)
        return;
    connection_.portNumber = 0;
    undoConnection();
}

void TfrmKT480NT5::cbxBaudRateChange()
{
    if (!initialised_)
        return;
    undoConnection();
}

void TfrmKT480NT5::edID01Change()
{
    if (!initialised_ || connectMark01_ || connectMark02_)
        return;
    undoConnection();
}

void TfrmKT480NT5::tsShow(ConnectionTab tab)
{
    if (!initialised_)
        return;
    undoConnection();
    pnlMain->setEnabled(true);
    setConnectButtonsEnabled(true);
    context_.settings.SaveSetting(QStringLiteral("MainActivePage"),
                                  QString::number(static_cast<int>(tab)));
    context_.settings.sync();
}

void TfrmKT480NT5::startupRestore()
{
    initialised_ = true;
    setWaitCursor(true);
    context_.comm.setDeviceConnected(false);
    sdCardLabel_.clear();
    showPlaceholders();
    const ConnectionTab tab = activeTab();
    QLineEdit *idBox = tab == ConnectionTab::Serial ? edID01
                       : tab == ConnectionTab::Tcp  ? edID02
                                                    : edID03;
    setDeviceId(NormaliseDeviceId(idBox->text()), true);
    if (connection_.portNumber > 0)
        cbxCommNo->setEditText(QStringLiteral("COM%1").arg(connection_.portNumber));
    else if (cbxCommNo->count() > 0)
        cbxCommNo->setCurrentIndex(cbxCommNo->count() - 1);
    cbxBaudRate->setCurrentText(connection_.baudRate);
    edtIP->setText(connection_.tcpHost);
    edtPort->setText(QString::number(connection_.tcpPort > 0 ? connection_.tcpPort
                                                             : ConnectionSettings::DefaultPort));
    edtIPudp->setText(connection_.udpHost);
    edtUPort01->setText(QString::number(connection_.udpDestinationPort > 0
                                            ? connection_.udpDestinationPort
                                            : ConnectionSettings::DefaultPort));
    edtUPort02->setText(QString::number(connection_.udpLocalPort));
    if (options_.automaticConnect) {
        if (startTab_ == ConnectionTab::Udp && connection_.udpDestinationPort > 0)
            btnConnect03Click();
        else if (startTab_ == ConnectionTab::Tcp && connection_.tcpPort > 0)
            btnConnect02Click();
        else if (startTab_ == ConnectionTab::Serial && connection_.portNumber > 0)
            btnConnect01Click();
    }
    // A TCP attempt still running keeps the window locked until it concludes.
    if (!connecting_) {
        pnlMain->setEnabled(true);
        setConnectButtonsEnabled(true);
        setWaitCursor(false);
    }
}
