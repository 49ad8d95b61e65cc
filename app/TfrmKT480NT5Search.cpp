#include "TfrmKT480NT5.h"

#include "AppContext.h"
#include "DeviceId.h"

#include <QComboBox>
#include <QLineEdit>

// The link is closed before a search window opens and again after it closes, whatever
// happened in it; a controller found there is connected to as the user would.

void TfrmKT480NT5::btnSearch01Click()
{
    setDeviceId(NormaliseDeviceId(edID01->text()), false);
    searchFound_.reset();
    undoConnection();
    emit serialSearchRequested();
    context_.comm.CommClose();
    const std::optional<ControllerHit> hit = std::exchange(searchFound_, std::nullopt);
    if (!hit || hit->transport != ControllerHit::Transport::Serial || hit->portNumber <= 0)
        return;
    connection_.portNumber = hit->portNumber;
    connection_.baudRate = hit->lineSettings;
    cbxCommNo->setEditText(QStringLiteral("COM%1").arg(hit->portNumber));
    cbxBaudRate->setCurrentText(hit->lineSettings);
    setDeviceId(hit->deviceId, false);
    btnConnect01Click();
}

void TfrmKT480NT5::btnSearch02Click()
{
    setDeviceId(NormaliseDeviceId(edID02->text()), false);
    searchFound_.reset();
    undoConnection();
    emit networkSearchRequested();
    context_.comm.CommClose();
    const std::optional<ControllerHit> hit = std::exchange(searchFound_, std::nullopt);
    if (!hit || hit->transport != ControllerHit::Transport::Tcp)
        return;
    edtIP->setText(hit->address);
    edtPort->setText(QString::number(hit->portNumber));
    setDeviceId(hit->deviceId, true);
    btnConnect02Click();
}
