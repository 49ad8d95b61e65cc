#include "TfrmKT480NT5.h"

#include "AppContext.h"
#include "ClickableLabel.h"
#include "ClickablePanel.h"
#include "DeviceClock.h"
#include "DeviceId.h"
#include "SerialPortList.h"
#include "StatusIndicator.h"
#include "TfrmProcess.h"
#include "TraceBuffer.h"

#include <LanguageFont.h>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {
// The window as designed: the main panel alone, and with the log panel beside it.
constexpr int MainWidth = 536;
constexpr int MainHeight = 560;
constexpr int WidthWithLog = 900;
} // namespace

namespace Row {
constexpr int Title = 0, TabCom = 2, TabTcp = 3, Connect = 5, Parameter = 6, Card = 7, Record = 8,
              Exit = 10, Backup = 11, Restore = 12, SdCard = 13, Search = 14, ConnectHint = 18,
              ParameterHint = 19, CardHint = 20, RecordHint = 21, BackupHint = 22, RestoreHint = 23,
              ExitHint = 24, GetTime = 25, SyncTime = 26, DeviceTime = 27, SystemTime = 28,
              SdCardHint = 29, SearchHint = 30, SerialPort = 31, TcpPort = 32, UdpDestination = 33,
              LocalPort = 34, DeviceId = 35, SerialNumber = 36, Version = 37, BaudRate = 38;
}

TfrmKT480NT5::TfrmKT480NT5(AppContext &context, StartOptions options, QWidget *parent)
    : QMainWindow(parent), context_(context), options_(std::move(options))
{
    setObjectName(QStringLiteral("frmKT480NT5"));
    buildLayout();
    process_ = new TfrmProcess(context_.progress, context_.language, this);
    context_.comm.setDeviceConnected(false);
    context_.batchMode.set(false);
    context_.clockReadPaused.set(false);
    showPlaceholders();
    btnData->hide();
    btnSdCard->hide();
    setFunctionButtonsEnabled(false);
    btnSearch01->setEnabled(false);
    btnSearch02->setEnabled(false);
    btnSearch03->setEnabled(false);
    tmrScan.setInterval(100);
    tmrTimeOut.setInterval(200);
    tmrClock.setInterval(1);
    selectTab(ConnectionTab::Serial);
    wireHandlers();
    ApplyMainCaptions();
    fitWindow();
    centreOnScreen();
}

TfrmKT480NT5::~TfrmKT480NT5()
{
    tmrScan.stop();
    tmrTimeOut.stop();
    tmrClock.stop();
    context_.comm.disconnect(this);
    context_.comm.CommClose();
}

void TfrmKT480NT5::wireHandlers()
{
    Comm &comm = context_.comm;
    connect(&comm, &Comm::logLine, Memo1, &QPlainTextEdit::appendPlainText);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TfrmKT480NT5::Memo1Change);
    connect(Panel2, &ClickableLabel::clicked, this, &TfrmKT480NT5::Panel2Click);
    trace_ = new TraceBuffer(TraceBuffer::DefaultCapacity, this);
    trace_->attach(comm);
    connect(btnSaveLog, &QPushButton::clicked, this, &TfrmKT480NT5::btnSaveLogClick);
    connect(pnlMain, &ClickablePanel::clicked, this, &TfrmKT480NT5::pnlMainClick);
    // The identification runs its own exchanges; it must not run inside the socket's signal.
    connect(&comm, &Comm::tcpConnected, this, &TfrmKT480NT5::ClientSocket01Connect,
            Qt::QueuedConnection);
    connect(&comm, &Comm::tcpDisconnected, this, &TfrmKT480NT5::ClientSocket01Disconnect);
    connect(&comm, &Comm::tcpError, this, &TfrmKT480NT5::ClientSocket01Error);

    connect(&tmrScan, &QTimer::timeout, this, &TfrmKT480NT5::tmrScanTimer);
    connect(&tmrTimeOut, &QTimer::timeout, this, &TfrmKT480NT5::tmrTimeOutTimer);
    connect(&tmrClock, &QTimer::timeout, this, &TfrmKT480NT5::tmrClockTimer);

    connect(btnConnect01, &QPushButton::clicked, this, &TfrmKT480NT5::btnConnect01Click);
    connect(btnConnect02, &QPushButton::clicked, this, &TfrmKT480NT5::btnConnect02Click);
    connect(btnConnect03, &QPushButton::clicked, this, &TfrmKT480NT5::btnConnect03Click);
    connect(btnSearch01, &QPushButton::clicked, this, &TfrmKT480NT5::btnSearch01Click);
    connect(btnSearch02, &QPushButton::clicked, this, &TfrmKT480NT5::btnSearch02Click);
    connect(btnDeviceTime, &QPushButton::clicked, this, &TfrmKT480NT5::btnDeviceTimeClick);
    connect(btnSyn, &QPushButton::clicked, this, &TfrmKT480NT5::btnSynClick);
    connect(btnParameter, &QPushButton::clicked, this, &TfrmKT480NT5::btnParameterClick);
    connect(btnCard, &QPushButton::clicked, this, &TfrmKT480NT5::btnCardClick);
    connect(btnData, &QPushButton::clicked, this, &TfrmKT480NT5::btnDataClick);
    connect(btnBackup, &QPushButton::clicked, this, &TfrmKT480NT5::btnBackupClick);
    connect(btnRestore, &QPushButton::clicked, this, &TfrmKT480NT5::btnRestoreClick);
    connect(btnSdCard, &QPushButton::clicked, this, &TfrmKT480NT5::btnSdCardClick);
    connect(btnExit, &QPushButton::clicked, this, &TfrmKT480NT5::btnExitClick);
    connect(btnEng, &QPushButton::clicked, this, &TfrmKT480NT5::btnEngClick);
    connect(btnBIG5, &QPushButton::clicked, this, &TfrmKT480NT5::btnBIG5Click);
    connect(btnGB, &QPushButton::clicked, this, &TfrmKT480NT5::btnGBClick);

    // Only what the user does undoes a connection; the program's own writes do not.
    connect(cbxCommNo, &QComboBox::activated, this, &TfrmKT480NT5::cbxCommNoChange);
    connect(cbxCommNo->lineEdit(), &QLineEdit::textEdited, this, &TfrmKT480NT5::cbxCommNoChange);
    connect(cbxBaudRate, &QComboBox::activated, this, &TfrmKT480NT5::cbxBaudRateChange);
    for (QLineEdit *edit :
         {edID01, edID02, edID03, edtIP, edtPort, edtIPudp, edtUPort01, edtUPort02})
        connect(edit, &QLineEdit::textEdited, this, &TfrmKT480NT5::edID01Change);
    connect(pcMain, &QTabWidget::currentChanged, this,
            [this](int index) { tsShow(static_cast<ConnectionTab>(index + 1)); });
}

QString TfrmKT480NT5::versionText() const
{
    return pnVER->text();
}

QString TfrmKT480NT5::serialNumberText() const
{
    return pnSN->text();
}

QString TfrmKT480NT5::statusText() const
{
    return sbMainText->text();
}

void TfrmKT480NT5::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TfrmKT480NT5::FormShow()
{
    QCoreApplication::processEvents();
    Settings &settings = context_.settings;
    connection_ = ConnectionSettings::Load(settings);
    startTab_ = connection_.startTab;
    selectTab(startTab_);
    edtUPort02->setText(QString::number(ConnectionSettings::DefaultPort));
    context_.language.SetLanguageIndex(
        connection_.languageIndex.value_or(options_.systemLanguageIndex));
    // All three boxes: the start-up restore reads the box of the tab that is showing.
    if (connection_.deviceId)
        setDeviceId(*connection_.deviceId, true);
    fillPortList();
    cbxCommNo->setCurrentIndex(cbxCommNo->count() > 0 ? 0 : -1);
    ApplyLanguageFont(this, context_.language.EffectiveIndex());
    ApplyMainCaptions();
    fitWindow();
    {
        const QSignalBlocker blocker(pcMain);
        pcMain->setTabVisible(2, options_.expert);
    }
    btnData->setVisible(options_.expert);
    btnSdCard->setVisible(options_.expert);
    tmrClock.setInterval(1);
    tmrClock.start();
}

void TfrmKT480NT5::closeEvent(QCloseEvent *event)
{
    if (tmrScan.isActive() || connecting_) {
        event->ignore();
        return;
    }
    context_.comm.CommClose();
    tmrScan.stop();
    tmrTimeOut.stop();
    tmrClock.stop();
    process_->hide();
    event->accept();
}

void TfrmKT480NT5::btnExitClick()
{
    if (!tmrScan.isActive())
        close();
}

void TfrmKT480NT5::ApplyMainCaptions()
{
    const Language &language = context_.language;
    auto text = [&language](int row) { return language.TableText(row); };
    auto colon = [&language](int row) { return language.TableText(row) + QLatin1String(" :"); };
    setWindowTitle(text(Row::Title) + QLatin1String(" [2011-10-28] "));
    pcMain->setTabText(0, text(Row::TabCom));
    pcMain->setTabText(1, text(Row::TabTcp));
    for (QPushButton *button : {btnConnect01, btnConnect02, btnConnect03})
        button->setText(text(Row::Connect));
    btnConnect01->setToolTip(text(Row::ConnectHint));
    btnConnect02->setToolTip(text(Row::ConnectHint));
    for (QPushButton *button : {btnSearch01, btnSearch02, btnSearch03})
        button->setText(text(Row::Search));
    btnSearch01->setToolTip(text(Row::SearchHint));
    btnSearch02->setToolTip(text(Row::SearchHint));
    btnParameter->setText(text(Row::Parameter));
    btnParameter->setToolTip(text(Row::ParameterHint));
    btnCard->setText(text(Row::Card));
    btnCard->setToolTip(text(Row::CardHint));
    btnBackup->setText(text(Row::Backup));
    btnBackup->setToolTip(text(Row::BackupHint));
    btnRestore->setText(text(Row::Restore));
    btnRestore->setToolTip(text(Row::RestoreHint));
    btnData->setText(text(Row::Record));
    btnData->setToolTip(text(Row::RecordHint));
    btnExit->setText(text(Row::Exit));
    btnExit->setToolTip(text(Row::ExitHint));
    btnDeviceTime->setText(text(Row::GetTime));
    btnDeviceTime->setToolTip(text(Row::GetTime));
    btnSyn->setText(text(Row::SyncTime));
    btnSyn->setToolTip(text(Row::SyncTime));
    showSdCardCaption();
    btnSdCard->setToolTip(text(Row::SdCardHint));
    for (QLabel *label : {lblID01, lblID02, lblID03})
        label->setText(colon(Row::DeviceId));
    lblPort01->setText(colon(Row::SerialPort));
    lblPort02->setText(colon(Row::TcpPort));
    lblPort03->setText(colon(Row::UdpDestination));
    lblPort04->setText(colon(Row::LocalPort));
    lblIP->setText(QStringLiteral("IP:"));
    lblUIP->setText(QStringLiteral("IP:"));
    lblBaudRate->setText(colon(Row::BaudRate));
    lblSN->setText(colon(Row::SerialNumber));
    lblVER->setText(colon(Row::Version));
    lblNow->setText(text(Row::SystemTime));
    lblDeviceTime->setText(text(Row::DeviceTime));
}

void TfrmKT480NT5::showSdCardCaption()
{
    btnSdCard->setText(context_.language.TableText(Row::SdCard) + sdCardLabel_);
}

void TfrmKT480NT5::switchLanguage(int languageIndex)
{
    QCoreApplication::processEvents();
    context_.settings.saveInt(QStringLiteral("LanguageIndex"), languageIndex);
    context_.settings.sync();
    context_.language.SetLanguageIndex(languageIndex);
    ApplyLanguageFont(this, context_.language.EffectiveIndex());
    ApplyMainCaptions();
    fitWindow();
}

void TfrmKT480NT5::btnEngClick()
{
    switchLanguage(Language::English);
}

void TfrmKT480NT5::btnBIG5Click()
{
    switchLanguage(Language::TraditionalChinese);
}

void TfrmKT480NT5::btnGBClick()
{
    switchLanguage(Language::SimplifiedChinese);
}

void TfrmKT480NT5::pnlMainClick()
{
    ++panelClicks_;
    if (panelClicks_ >= 15) {
        panelClicks_ = 0;
        if (pnlTest->isHidden()) {
            pnlTest->show();
            fitWindow();
        }
    } else if (!pnlTest->isHidden()) {
        panelClicks_ = 0;
        pnlTest->hide();
        fitWindow();
        centreOnScreen();
    }
}

void TfrmKT480NT5::fitWindow()
{
    const int mainWidth = qMax(MainWidth, pnlMain->minimumSizeHint().width());
    pnlMain->setFixedWidth(mainWidth);
    const int height = qMax(MainHeight, minimumSizeHint().height());
    setFixedSize(pnlTest->isHidden() ? mainWidth : qMax(WidthWithLog, mainWidth + 300), height);
}

void TfrmKT480NT5::centreOnScreen()
{
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() -
             QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
}

void TfrmKT480NT5::Memo1Change()
{
    const int lines = Memo1->document()->isEmpty() ? 0 : Memo1->document()->blockCount();
    Panel2->setText(QStringLiteral("Clear (%1)").arg(lines));
}

void TfrmKT480NT5::Panel2Click()
{
    Memo1->clear();
    trace_->clear();
    Memo1Change();
}

void TfrmKT480NT5::btnParameterClick()
{
    emit parameterWindowRequested();
}

void TfrmKT480NT5::btnCardClick()
{
    emit cardWindowRequested();
}

void TfrmKT480NT5::btnDataClick()
{
    setDeviceId(
        NormaliseDeviceId(activeTab() == ConnectionTab::Serial ? edID01->text() : edID02->text()),
        false);
    emit recordWindowRequested();
}

void TfrmKT480NT5::btnBackupClick()
{
    emit backupRequested();
}

void TfrmKT480NT5::btnRestoreClick()
{
    emit restoreRequested();
}

void TfrmKT480NT5::btnSdCardClick()
{
    emit sdCardRequested();
}

void TfrmKT480NT5::fillPortList()
{
    ComPortMap map = context_.comm.comPortMap();
    const QStringList ports = SerialPortList(context_.settings).Refresh(map);
    context_.comm.setComPortMap(map);
    cbxCommNo->clear();
    cbxCommNo->addItems(ports);
}

ConnectionTab TfrmKT480NT5::activeTab() const
{
    return static_cast<ConnectionTab>(pcMain->currentIndex() + 1);
}

void TfrmKT480NT5::selectTab(ConnectionTab tab)
{
    const QSignalBlocker blocker(pcMain);
    pcMain->setCurrentIndex(static_cast<int>(tab) - 1);
}

void TfrmKT480NT5::setDeviceId(const QString &deviceId, bool includeUdpBox)
{
    context_.comm.setDeviceIDText(deviceId);
    edID01->setText(deviceId);
    edID02->setText(deviceId);
    if (includeUdpBox)
        edID03->setText(deviceId);
}

void TfrmKT480NT5::setFunctionButtonsEnabled(bool enabled)
{
    for (QPushButton *button :
         {btnParameter, btnCard, btnBackup, btnRestore, btnDeviceTime, btnSyn})
        button->setEnabled(enabled);
    btnSdCard->setEnabled(enabled && !sdCardLabel_.isEmpty());
}

void TfrmKT480NT5::setConnectButtonsEnabled(bool enabled)
{
    for (QPushButton *button : {btnConnect01, btnConnect02, btnConnect03, btnSearch01, btnSearch02})
        button->setEnabled(enabled);
}

void TfrmKT480NT5::setWaitCursor(bool on)
{
    if (on == waitCursor_)
        return;
    waitCursor_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TfrmKT480NT5::setStatus(const QString &text)
{
    sbMainText->setText(text);
}

void TfrmKT480NT5::showPlaceholders()
{
    pnSN->setText(QStringLiteral("________"));
    pnVER->setText(QStringLiteral("__.__-__"));
}
