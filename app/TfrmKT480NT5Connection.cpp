#include "TfrmKT480NT5.h"

#include "StatusIndicator.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

void TfrmKT480NT5::wireController()
{
    ConnectionController *c = &controller_;
    boxes_ = {{ConnectionField::ComPort, cbxCommNo},
              {ConnectionField::BaudRate, cbxBaudRate},
              {ConnectionField::DeviceId01, edID01},
              {ConnectionField::TcpHost, edtIP},
              {ConnectionField::TcpPort, edtPort},
              {ConnectionField::DeviceId02, edID02},
              {ConnectionField::UdpHost, edtIPudp},
              {ConnectionField::UdpDestinationPort, edtUPort01},
              {ConnectionField::UdpLocalPort, edtUPort02},
              {ConnectionField::DeviceId03, edID03}};
    // Every text a box shows reaches the controller; only what the person does runs its rules.
    for (auto [field, box] : boxes_.asKeyValueRange()) {
        c->setBoxText(field, boxText(field));
        if (auto *edit = qobject_cast<QLineEdit *>(box)) {
            connect(edit, &QLineEdit::textChanged, c,
                    [c, field](const QString &text) { c->setBoxText(field, text); });
            connect(edit, &QLineEdit::textEdited, c,
                    [c, field](const QString &text) { c->boxEdited(field, text); });
        }
    }
    connect(cbxCommNo, &QComboBox::editTextChanged, c,
            [c](const QString &text) { c->setBoxText(ConnectionField::ComPort, text); });
    connect(cbxCommNo, &QComboBox::activated, c,
            [this, c] { c->boxEdited(ConnectionField::ComPort, cbxCommNo->currentText()); });
    connect(cbxCommNo->lineEdit(), &QLineEdit::textEdited, c,
            [c](const QString &text) { c->boxEdited(ConnectionField::ComPort, text); });
    connect(cbxBaudRate, &QComboBox::currentTextChanged, c,
            [c](const QString &text) { c->setBoxText(ConnectionField::BaudRate, text); });
    connect(cbxBaudRate, &QComboBox::activated, c,
            [this, c] { c->boxEdited(ConnectionField::BaudRate, cbxBaudRate->currentText()); });
    connect(pcMain, &QTabWidget::currentChanged, c,
            [c](int index) { c->showTab(static_cast<ConnectionTab>(index + 1)); });

    connect(c, &ConnectionController::boxChanged, this, &TfrmKT480NT5::showBox);
    connect(c, &ConnectionController::portListChanged, this, &TfrmKT480NT5::showPortList);
    connect(c, &ConnectionController::tabSelected, this, &TfrmKT480NT5::selectTab);
    connect(c, &ConnectionController::statusChanged, this, &TfrmKT480NT5::setStatus);
    connect(c, &ConnectionController::indicatorChanged, this, &TfrmKT480NT5::showIndicator);
    connect(c, &ConnectionController::identityChanged, this,
            [this](const QString &serialNumber, const QString &version) {
                pnSN->setText(serialNumber);
                pnVER->setText(version);
            });
    connect(c, &ConnectionController::sdCardLabelChanged, this, &TfrmKT480NT5::showSdCardCaption);
    connect(c, &ConnectionController::deviceTimeChanged, pnCur, &QLabel::setText);
    connect(c, &ConnectionController::systemTimeChanged, pnNow, &QLabel::setText);
    connect(c, &ConnectionController::mainPanelEnabledChanged, pnlMain, &QWidget::setEnabled);
    connect(c, &ConnectionController::connectButtonsEnabledChanged, this,
            &TfrmKT480NT5::setConnectButtonsEnabled);
    connect(c, &ConnectionController::functionButtonsEnabledChanged, this,
            &TfrmKT480NT5::setFunctionButtonsEnabled);
    connect(c, &ConnectionController::waitCursorChanged, this, &TfrmKT480NT5::setWaitCursor);
    connect(c, &ConnectionController::searchRequested, this, [this](ConnectionTab tab) {
        if (tab == ConnectionTab::Serial)
            emit serialSearchRequested();
        else
            emit networkSearchRequested();
    });
}

QString TfrmKT480NT5::boxText(ConnectionField field) const
{
    QWidget *widget = boxes_.value(field);
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentText();
    return static_cast<QLineEdit *>(widget)->text();
}

// Writes what the controller asks for; a box that cannot show it (a line setting not in
// the list, a Device ID longer than the box) reports what it does show.
void TfrmKT480NT5::showBox(ConnectionField field, const QString &text)
{
    QWidget *widget = boxes_.value(field);
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        const int index = combo->findText(text);
        if (index >= 0)
            combo->setCurrentIndex(index);
        else if (combo->isEditable())
            combo->setEditText(text);
    } else {
        static_cast<QLineEdit *>(widget)->setText(text);
    }
    controller_.setBoxText(field, boxText(field));
}

void TfrmKT480NT5::showPortList(const QStringList &ports)
{
    cbxCommNo->clear();
    cbxCommNo->addItems(ports);
}

void TfrmKT480NT5::selectTab(ConnectionTab tab)
{
    const QSignalBlocker blocker(pcMain);
    pcMain->setCurrentIndex(static_cast<int>(tab) - 1);
}

void TfrmKT480NT5::showIndicator(ConnectionIndicator state)
{
    indicator->show();
    if (state == ConnectionIndicator::Blinking) {
        indicator->setColour(Qt::blue);
        tmrScan->start();
        return;
    }
    tmrScan->stop();
    indicator->setColour(state == ConnectionIndicator::Connected ? Qt::blue : Qt::red);
}

void TfrmKT480NT5::tmrScanTimer()
{
    indicator->toggleBlink();
}

void TfrmKT480NT5::setFunctionButtonsEnabled(bool enabled)
{
    for (QPushButton *button :
         {btnParameter, btnCard, btnBackup, btnRestore, btnDeviceTime, btnSyn})
        button->setEnabled(enabled);
    btnSdCard->setEnabled(enabled && !controller_.sdCardLabel().isEmpty());
}

void TfrmKT480NT5::setConnectButtonsEnabled(bool enabled)
{
    for (QPushButton *button : {btnConnect01, btnConnect02, btnConnect03, btnSearch01, btnSearch02})
        button->setEnabled(enabled);
}

void TfrmKT480NT5::setWaitCursor(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TfrmKT480NT5::setStatus(const QString &text)
{
    sbMainText->setText(text);
    if (text.isEmpty())
        sbMainExtra->clear();
}
