#include "TfrmKT480NT5.h"

#include "AppContext.h"
#include "ClickWatcher.h"
#include "TfrmProcess.h"
#include "TraceBuffer.h"

#include <LanguageFont.h>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

namespace {
// The window as designed: the main panel alone, and with the log panel beside it.
constexpr int MainWidth = 536;
constexpr int MainHeight = 560;
constexpr int WidthWithLog = 900;
} // namespace

TfrmKT480NT5::TfrmKT480NT5(AppContext &context, StartOptions options, QWidget *parent)
    : QMainWindow(parent), context_(context), options_(std::move(options)),
      controller_(context.comm, context.settings, context.language, context.clockReadPaused,
                  options_.clock, this)
{
    setObjectName(QStringLiteral("frmKT480NT5"));
    buildLayout();
    process_ = new TfrmProcess(context_.progress, context_.language, this);
    context_.comm.setDeviceConnected(false);
    context_.batchMode.set(false);
    context_.clockReadPaused.set(false);
    controller_.setAutomaticConnect(options_.automaticConnect);
    pnSN->setText(controller_.serialNumberText());
    pnVER->setText(controller_.versionText());
    btnData->hide();
    btnSdCard->hide();
    setFunctionButtonsEnabled(false);
    btnSearch01->setEnabled(false);
    btnSearch02->setEnabled(false);
    btnSearch03->setEnabled(false);
    tmrScan = new QTimer(this);
    tmrScan->setObjectName(QStringLiteral("tmrScan"));
    tmrScan->setInterval(100);
    selectTab(ConnectionTab::Serial);
    wireHandlers();
    wireController();
    ApplyMainCaptions();
    fitWindow();
    centreOnScreen();
}

// The controller closes the link as it goes.
TfrmKT480NT5::~TfrmKT480NT5() = default;

void TfrmKT480NT5::wireHandlers()
{
    connect(&context_.comm, &Comm::logLine, Memo1, &QPlainTextEdit::appendPlainText);
    connect(&context_.logRelay, &LogRelay::message, Memo1, &QPlainTextEdit::appendPlainText);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TfrmKT480NT5::Memo1Change);
    connect(new ClickWatcher(Panel2), &ClickWatcher::clicked, this, &TfrmKT480NT5::Panel2Click);
    connect(new ClickWatcher(pnlMain), &ClickWatcher::clicked, this, &TfrmKT480NT5::pnlMainClick);
    connect(tmrScan, &QTimer::timeout, this, &TfrmKT480NT5::tmrScanTimer);
    trace_ = new TraceBuffer(TraceBuffer::DefaultCapacity, this);
    trace_->attach(context_.comm);
    connect(btnSaveLog, &QPushButton::clicked, this, &TfrmKT480NT5::btnSaveLogClick);

    ConnectionController *controller = &controller_;
    connect(btnConnect01, &QPushButton::clicked, controller, &ConnectionController::connectSerial);
    connect(btnConnect02, &QPushButton::clicked, controller, &ConnectionController::connectTcp);
    connect(btnConnect03, &QPushButton::clicked, controller, &ConnectionController::connectUdp);
    connect(btnSearch01, &QPushButton::clicked, controller, &ConnectionController::searchSerial);
    connect(btnSearch02, &QPushButton::clicked, controller, &ConnectionController::searchNetwork);
    connect(btnDeviceTime, &QPushButton::clicked, controller, &ConnectionController::getDeviceTime);
    connect(btnSyn, &QPushButton::clicked, controller, &ConnectionController::syncDeviceTime);
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
    const ConnectionSettings &stored = controller_.loadSettings();
    context_.language.SetLanguageIndex(stored.languageIndex.value_or(options_.systemLanguageIndex));
    context_.translator.apply(context_.language.LanguageIndex());
    ApplyLanguageFont(this, context_.language.EffectiveIndex());
    ApplyMainCaptions();
    // Hiding the tab that shows brings another one up, which the controller must know.
    pcMain->setTabVisible(2, options_.expert);
    btnData->setVisible(options_.expert);
    btnSdCard->setVisible(options_.expert);
    // Measured with every control that shows, and centred at that size.
    fitWindow();
    centreOnScreen();
    controller_.startClock();
}

void TfrmKT480NT5::closeEvent(QCloseEvent *event)
{
    if (tmrScan->isActive() || controller_.connecting()) {
        event->ignore();
        return;
    }
    controller_.stop();
    tmrScan->stop();
    process_->hide();
    event->accept();
}

void TfrmKT480NT5::btnExitClick()
{
    if (!tmrScan->isActive())
        close();
}

void TfrmKT480NT5::ApplyMainCaptions()
{
    const Language &language = context_.language;
    auto text = [&language](TextRow row) { return language.TableText(row); };
    auto colon = [&language](TextRow row) { return language.TableText(row) + QLatin1String(" :"); };
    setWindowTitle(text(TextRow::ProgramTitle) + QLatin1String(" [2011-10-28] "));
    pcMain->setTabText(0, text(TextRow::TabCom));
    pcMain->setTabText(1, text(TextRow::TabTcpServer));
    for (QPushButton *button : {btnConnect01, btnConnect02, btnConnect03})
        button->setText(text(TextRow::ConnectButton));
    btnConnect01->setToolTip(text(TextRow::ConnectHint));
    btnConnect02->setToolTip(text(TextRow::ConnectHint));
    for (QPushButton *button : {btnSearch01, btnSearch02, btnSearch03})
        button->setText(text(TextRow::SearchButton));
    btnSearch01->setToolTip(text(TextRow::SearchHint));
    btnSearch02->setToolTip(text(TextRow::SearchHint));
    btnParameter->setText(text(TextRow::ParameterButton));
    btnParameter->setToolTip(text(TextRow::ParameterHint));
    btnCard->setText(text(TextRow::CardDataButton));
    btnCard->setToolTip(text(TextRow::CardDataHint));
    btnBackup->setText(text(TextRow::AllBackupButton));
    btnBackup->setToolTip(text(TextRow::AllBackupHint));
    btnRestore->setText(text(TextRow::AllRestoreButton));
    btnRestore->setToolTip(text(TextRow::AllRestoreHint));
    btnData->setText(text(TextRow::RecordDataButton));
    btnData->setToolTip(text(TextRow::RecordDataHint));
    btnExit->setText(text(TextRow::ExitButton));
    btnExit->setToolTip(text(TextRow::ExitHint));
    btnDeviceTime->setText(text(TextRow::GetDeviceTime));
    btnDeviceTime->setToolTip(text(TextRow::GetDeviceTime));
    btnSyn->setText(text(TextRow::SyncDateTime));
    btnSyn->setToolTip(text(TextRow::SyncDateTime));
    showSdCardCaption();
    btnSdCard->setToolTip(text(TextRow::SdCardHint));
    for (QLabel *label : {lblID01, lblID02, lblID03})
        label->setText(colon(TextRow::DeviceIdLabel));
    lblPort01->setText(colon(TextRow::SerialPortLabel));
    lblPort02->setText(colon(TextRow::TcpPortLabel));
    lblPort03->setText(colon(TextRow::UdpDestinationPortLabel));
    lblPort04->setText(colon(TextRow::LocalPortLabel));
    lblIP->setText(QStringLiteral("IP:"));
    lblUIP->setText(QStringLiteral("IP:"));
    lblBaudRate->setText(colon(TextRow::BaudRateLabel));
    lblSN->setText(colon(TextRow::SerialNumberLabel));
    lblVER->setText(colon(TextRow::VersionLabel));
    lblNow->setText(text(TextRow::SystemTime));
    lblDeviceTime->setText(text(TextRow::DeviceTime));
    btnSaveLog->setText(tr("Save log…"));
}

void TfrmKT480NT5::showSdCardCaption()
{
    btnSdCard->setText(context_.language.TableText(TextRow::SdCardButton) +
                       controller_.sdCardLabel());
}

void TfrmKT480NT5::switchLanguage(int languageIndex)
{
    QCoreApplication::processEvents();
    context_.settings.saveInt(QStringLiteral("LanguageIndex"), languageIndex);
    context_.settings.sync();
    context_.language.SetLanguageIndex(languageIndex);
    context_.translator.apply(languageIndex);
    ApplyLanguageFont(this, context_.language.EffectiveIndex());
    ApplyMainCaptions();
    controller_.languageChanged();
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
    // A new font or a control shown reaches the layouts' size hints through posted layout
    // requests: they are handled first, or the window is fixed to the sizes of before.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
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
    controller_.takeDeviceIdFromActiveTab();
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
