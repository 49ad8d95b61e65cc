#include "TfrmKT480NT5.h"

#include "AppContext.h"
#include "ClickablePanel.h"
#include "DeviceClock.h"
#include "DeviceId.h"
#include "StatusIndicator.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

void TfrmKT480NT5::tmrClockTimer()
{
    if (!initialised_) {
        tmrClock.setInterval(900);
        startupRestore();
    }
    const QDateTime now = options_.clock();
    pnNow->setText(DeviceClock::DateTimeText(now));
    const AutomaticClockRead rule{context_.comm.DeviceConnected(),
                                  activeTab() == ConnectionTab::Tcp, context_.comm.TcpConnected(),
                                  context_.clockReadPaused.isSet() || connecting_,
                                  now.time().second()};
    if (rule.due())
        btnDeviceTimeClick();
}

void TfrmKT480NT5::takeDeviceIdFromActiveTab()
{
    const QLineEdit *box = activeTab() == ConnectionTab::Serial ? edID01 : edID02;
    setDeviceId(NormaliseDeviceId(box->text()), false);
}

void TfrmKT480NT5::readDeviceClock()
{
    QString clockText;
    switch (DeviceClock(context_.comm).Read(pnVER->text(), clockText)) {
    case DeviceClock::ReadOutcome::Read:
        pnCur->setText(clockText);
        break;
    case DeviceClock::ReadOutcome::Failed:
        // The user has to connect again; nothing may be started on the closed link.
        context_.comm.CommClose();
        setFunctionButtonsEnabled(false);
        indicator->setColour(Qt::red);
        setStatus(context_.language.TableText(TextRow::CommunicationError));
        break;
    case DeviceClock::ReadOutcome::Refused:
        // Another operation is exchanging on this link; its work must go on.
        break;
    }
}

void TfrmKT480NT5::btnDeviceTimeClick()
{
    pnlMain->setEnabled(false);
    setWaitCursor(true);
    QCoreApplication::processEvents();
    if (context_.comm.DeviceConnected()) {
        connecting_ = true;
        takeDeviceIdFromActiveTab();
        readDeviceClock();
    }
    connecting_ = false;
    pnlMain->setEnabled(true);
    setWaitCursor(false);
    QCoreApplication::processEvents();
}

void TfrmKT480NT5::btnSynClick()
{
    pnlMain->setEnabled(false);
    setWaitCursor(true);
    QCoreApplication::processEvents();
    if (context_.comm.DeviceConnected()) {
        connecting_ = true;
        takeDeviceIdFromActiveTab();
        const bool set = DeviceClock(context_.comm).Sync(options_.clock);
        setStatus(context_.language.TableText(TextRow::SyncDateTime) +
                  (set ? QStringLiteral(": OK!") : QStringLiteral(": Error!")));
        // The read that follows shows the clock as it now stands, and a lost link.
        readDeviceClock();
    }
    connecting_ = false;
    pnlMain->setEnabled(true);
    setWaitCursor(false);
    QCoreApplication::processEvents();
}
