#pragma once

#include "ConnectionSettings.h"
#include "ConnectionView.h"
#include "ControllerHit.h"
#include "DeviceClock.h"
#include "Identification.h"
#include "TextRow.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

class Comm;
class Language;
class Settings;
class SharedFlag;

// The connection to one controller as the main window offers it, without its widgets:
// connecting over a serial port, TCP or UDP from the texts of the connection boxes,
// identifying the controller, the controller's clock, the edits and tab switches that undo a
// connection, the start-up restore with its automatic connect, and the hand-over from the
// search windows. The window feeds it what the person types and shows what it reports through
// its signals; kt480ctl uses the same identification and clock on its own link.
class ConnectionController : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    ConnectionController(
        Comm &comm, Settings &settings, const Language &language, const SharedFlag &clockReadPaused,
        Clock clock = [] { return QDateTime::currentDateTime(); }, QObject *parent = nullptr);
    ~ConnectionController() override;

    // Start-up: the stored connection, the tab it ran on and the machine's serial ports. The
    // stored language is the caller's to apply.
    const ConnectionSettings &loadSettings();
    // Starts the clock; its first tick restores the boxes and connects automatically.
    void startClock();
    // Off: the first tick restores the boxes but reaches no controller.
    void setAutomaticConnect(bool on) { automaticConnect_ = on; }
    // How long a TCP attempt may take before it is abandoned (30 s).
    void setTcpTimeout(int seconds) { tcpTimeoutSeconds_ = seconds; }
    // The window closes: the link is closed and the timers stop.
    void stop();

    // A box's text as the window shows it, whoever changed it; no rule runs.
    void setBoxText(ConnectionField field, const QString &text);
    // A person's edit of a box. Once initialised it undoes the connection: a port choice also
    // forgets the stored port; Device ID, address and port edits count only while no connect
    // is rewriting the boxes.
    void boxEdited(ConnectionField field, const QString &text);
    // A person shows a tab: the link is closed and the tab is remembered for the next start.
    void showTab(ConnectionTab tab);

    void connectSerial();
    void connectTcp();
    void connectUdp();
    // Opens the search of the tab (searchRequested) with the link closed; a controller found
    // there (takeSearchResult) is put into the boxes and connected to.
    void searchSerial();
    void searchNetwork();
    void takeSearchResult(const ControllerHit &hit) { searchFound_ = hit; }

    // Get and Syn: only with a controller identified, with the Device ID of the tab showing.
    void getDeviceTime();
    void syncDeviceTime();
    // One tick of the clock: the start-up restore on the first, the workstation's time, and
    // over TCP the automatic read of the controller's clock every ten seconds.
    void tmrClockTimer();
    // The Device ID box of the serial tab when it shows, else the TCP tab's, normalised into
    // the link and both boxes.
    void takeDeviceIdFromActiveTab();

    // Identifies the controller on the open link (the UDP sequence over UDP, the other one
    // otherwise) and shows what it found.
    IdentifyResult identifyOpenLink();
    // The firmware version ("DB"), shown; empty when none was read.
    QString readVersion();
    // The SD card label ("AN"), shown; empty without a card, nothing without an answer.
    std::optional<QString> readSdCardLabel();
    // Reads the controller's clock into the device time. A read refused because another
    // operation holds the link changes nothing; any other failure closes the link.
    DeviceClock::ReadOutcome readDeviceClock();
    // Thirty set commands from `now` (Syn's first half); the status says whether the
    // controller took one.
    bool setDeviceClock(const Clock &now);

    // The language changed: the status text is shown again in it.
    void languageChanged();

    QString box(ConnectionField field) const { return boxes_.value(field); }
    ConnectionTab activeTab() const { return activeTab_; }
    const ConnectionSettings &connectionSettings() const { return connection_; }
    QStringList ports() const { return ports_; }
    bool initialised() const { return initialised_; }
    bool connecting() const { return connecting_; }
    bool functionButtonsEnabled() const { return functionButtonsEnabled_; }
    QString serialNumberText() const { return serialNumberText_; }
    QString versionText() const { return versionText_; }
    QString sdCardLabel() const { return sdCardLabel_; }
    QString deviceTimeText() const { return deviceTimeText_; }
    QString systemTimeText() const { return systemTimeText_; }
    QString statusText() const;

signals:
    void boxChanged(ConnectionField field, const QString &text);
    void portListChanged(const QStringList &ports);
    // The program shows a tab (a person's choice comes in through showTab).
    void tabSelected(ConnectionTab tab);
    void statusChanged(const QString &text);
    void indicatorChanged(ConnectionIndicator state);
    void identityChanged(const QString &serialNumber, const QString &version);
    void sdCardLabelChanged(const QString &label);
    void deviceTimeChanged(const QString &text);
    void systemTimeChanged(const QString &text);
    // The main panel, the Connect and Search buttons, and the buttons that need a controller.
    void mainPanelEnabledChanged(bool enabled);
    void connectButtonsEnabledChanged(bool enabled);
    void functionButtonsEnabledChanged(bool enabled);
    void waitCursorChanged(bool on);
    void connectingChanged(bool connecting);
    // Runs the search window of the tab; it hands back what it found through takeSearchResult.
    void searchRequested(ConnectionTab tab);

private:
    void tmrTimeOutTimer();
    void ClientSocket01Connect();
    void failTcpAttempt();

    void beginConnect();
    void concludeConnect(bool connected, const QString &where);
    // A port box above 65535: the attempt fails at once, nothing is opened.
    bool refuseOversizedPort(int port);
    void showIdentification(const IdentifyResult &result);
    void undoConnection();
    void startupRestore();
    void refreshPortList();
    std::optional<ControllerHit> runSearch(ConnectionTab tab);
    // Get and Syn: the main panel locked and the connecting flag set around the work.
    void runClockOperation(const std::function<void()> &work);

    void showBox(ConnectionField field, const QString &text);
    void setDeviceId(const QString &deviceId, bool includeUdpBox);
    void selectTab(ConnectionTab tab);
    // The status text: a row of the language table and what follows it, so that it can be
    // shown again in another language.
    void setStatus(TextRow row, const QString &suffix = QString());
    void clearStatus();
    void showStatus();
    void setIndicator(ConnectionIndicator state);
    void showIdentity(const QString &serialNumber, const QString &version);
    void showPlaceholders();
    void setSdCardLabel(const QString &label);
    void setMainPanelEnabled(bool enabled);
    void setConnectButtonsEnabled(bool enabled);
    void setFunctionButtonsEnabled(bool enabled);
    void setWaitCursor(bool on);
    void setConnecting(bool connecting);

    Comm &comm_;
    Settings &settings_;
    const Language &language_;
    const SharedFlag &clockReadPaused_;
    const Clock clock_;
    bool automaticConnect_ = true;
    int tcpTimeoutSeconds_ = 30;

    QHash<ConnectionField, QString> boxes_;
    ConnectionSettings connection_;
    ConnectionTab activeTab_ = ConnectionTab::Serial;
    ConnectionTab startTab_ = ConnectionTab::Serial;
    QStringList ports_;
    bool initialised_ = false;
    bool connecting_ = false;
    // Set while a connect rewrites the boxes of its tab: those writes undo nothing.
    bool connectMark01_ = false;
    bool connectMark02_ = false;
    // Set while a TCP attempt may still succeed; cleared by its failure paths.
    bool tcpAttemptRunning_ = false;
    QElapsedTimer tcpAttemptClock_;
    bool functionButtonsEnabled_ = false;
    bool waitCursor_ = false;
    QString serialNumberText_;
    QString versionText_;
    QString sdCardLabel_;
    QString deviceTimeText_;
    QString systemTimeText_;
    struct Status
    {
        TextRow row;
        QString suffix;
    };
    std::optional<Status> status_;
    std::optional<ControllerHit> searchFound_;

    QTimer tmrTimeOut_;
    QTimer tmrClock_;
};
