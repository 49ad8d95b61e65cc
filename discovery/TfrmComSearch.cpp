#include "TfrmComSearch.h"

#include "DeviceId.h"
#include "DeviceIdText.h"
#include "Language.h"
#include "LineSettingsList.h"
#include "SearchStatusBar.h"
#include "SerialPortOrder.h"
#include "UserPrompt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

constexpr int ComSearchWidth = 458;
constexpr int ComSearchHeight = 202;

} // namespace

TfrmComSearch::TfrmComSearch(const Language &language, UserPrompt &prompt, PortLister portLister,
                             QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      language_(language), prompt_(prompt), portLister_(std::move(portLister))
{
    setObjectName(QStringLiteral("frmComSearch"));
    buildLayout();
    tmrScan.setInterval(100);
    tmrSearch.setInterval(1);
    tmrSearch.setSingleShot(true);
    connect(&tmrScan, &QTimer::timeout, this, &TfrmComSearch::tmrScanTimer);
    connect(&tmrSearch, &QTimer::timeout, this, &TfrmComSearch::tmrSearchTimer);
    connect(btnSearch, &QPushButton::clicked, this, &TfrmComSearch::btnSearchClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmComSearch::btnCancelClick);
    connect(btnExit, &QPushButton::clicked, this, &TfrmComSearch::btnExitClick);
    connect(&search_, &SerialSearch::scanning, this, &TfrmComSearch::showScan);
    connect(&search_, &SerialSearch::finished, this, &TfrmComSearch::searchFinished);
    applyCaptions();
}

TfrmComSearch::~TfrmComSearch()
{
    tmrScan.stop();
    tmrSearch.stop();
}

void TfrmComSearch::buildLayout()
{
    lblPort01 = new QCheckBox(this);
    lblPort01->setObjectName(QStringLiteral("lblPort01"));
    lblPort01->setChecked(true);
    cbxCommNo = new QComboBox(this);
    cbxCommNo->setObjectName(QStringLiteral("cbxCommNo"));
    lblBaudRate = new QCheckBox(this);
    lblBaudRate->setObjectName(QStringLiteral("lblBaudRate"));
    lblBaudRate->setChecked(true);
    cbxBaudRate = new QComboBox(this);
    cbxBaudRate->setObjectName(QStringLiteral("cbxBaudRate"));
    cbxBaudRate->addItems(LineSettingsList());
    cbxBaudRate->setCurrentText(DefaultLineSettings());

    const auto *digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), this);
    lblID01 = new QLabel(this);
    lblID01->setObjectName(QStringLiteral("lblID01"));
    edID01 = new QLineEdit(QStringLiteral("0001"), this);
    edID01->setObjectName(QStringLiteral("edID01"));
    Label1 = new QLabel(QStringLiteral("～"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    edID02 = new QLineEdit(QStringLiteral("0001"), this);
    edID02->setObjectName(QStringLiteral("edID02"));
    for (QLineEdit *edit : {edID01, edID02}) {
        edit->setMaxLength(4);
        edit->setValidator(digits);
        edit->setFixedWidth(60);
    }
    chkThorough = new QCheckBox(this);
    chkThorough->setObjectName(QStringLiteral("chkThorough"));

    btnSearch = new QPushButton(this);
    btnSearch->setObjectName(QStringLiteral("btnSearch"));
    btnCancel = new QPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->hide();
    btnExit = new QPushButton(this);
    btnExit->setObjectName(QStringLiteral("btnExit"));
    for (QPushButton *button : {btnSearch, btnCancel, btnExit})
        button->setAutoDefault(false);

    auto *ids = new QHBoxLayout;
    ids->addWidget(edID01);
    ids->addWidget(Label1);
    ids->addWidget(edID02);
    ids->addStretch(1);

    auto *grid = new QGridLayout;
    grid->addWidget(lblPort01, 0, 0);
    grid->addWidget(cbxCommNo, 0, 1);
    grid->addWidget(lblBaudRate, 1, 0);
    grid->addWidget(cbxBaudRate, 1, 1);
    grid->addWidget(lblID01, 2, 0);
    grid->addLayout(ids, 2, 1);
    grid->addWidget(chkThorough, 3, 1);
    grid->setColumnStretch(1, 1);

    // Cancel takes the place of Search while a search runs.
    auto *buttons = new QGridLayout;
    buttons->addWidget(btnSearch, 0, 0);
    buttons->addWidget(btnCancel, 0, 0);
    buttons->addWidget(btnExit, 0, 1);

    sbMain = new SearchStatusBar(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 8, 0, 0);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(12, 0, 12, 0);
    body->addLayout(grid);
    body->addStretch(1);
    body->addLayout(buttons);
    layout->addLayout(body, 1);
    layout->addWidget(sbMain);
    setMinimumSize(ComSearchWidth, ComSearchHeight);
}

void TfrmComSearch::applyCaptions()
{
    const QString colon = QStringLiteral(" :");
    setWindowTitle(language_.TableText(TextRow::SearchDeviceTitle));
    lblPort01->setText(language_.TableText(TextRow::SerialPortLabel) + colon);
    lblBaudRate->setText(language_.TableText(TextRow::BaudRateLabel) + colon);
    lblID01->setText(language_.TableText(TextRow::DeviceIdLabel) + colon);
    btnSearch->setText(language_.TableText(TextRow::SearchButton));
    btnCancel->setText(language_.TableText(TextRow::CancelButton));
    btnExit->setText(language_.TableText(TextRow::ExitButton));
    chkThorough->setText(tr("Thorough"));
    chkThorough->setToolTip(tr("Try every Device ID at every line setting, also where no "
                               "controller answers the broadcast query (slow)."));
}

void TfrmComSearch::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Only when the program shows the window: the window system shows it again when it is
    // restored, and the person's choices and place stay then.
    if (!event->spontaneous())
        FormShow();
}

void TfrmComSearch::FormShow()
{
    applyCaptions();
    fillPortList();
    cbxCommNo->setCurrentIndex(cbxCommNo->count() - 1);
    cbxBaudRate->setCurrentText(DefaultLineSettings());
    adjustSize();
    if (parentWidget())
        move(parentWidget()->frameGeometry().center() - rect().center());
}

void TfrmComSearch::fillPortList()
{
    const QString shown = cbxCommNo->currentText();
    cbxCommNo->clear();
    cbxCommNo->addItems(SortedPortNames(portLister_ ? portLister_(map_) : QStringList()));
    if (!shown.isEmpty())
        cbxCommNo->setCurrentText(shown);
}

void TfrmComSearch::btnSearchClick()
{
    if (searching_)
        return;
    found_.reset();
    cancelRequested_ = false;
    setSearching(true);
    tmrScan.start();
    tmrSearch.start();
}

void TfrmComSearch::setSearching(bool on)
{
    searching_ = on;
    btnSearch->setEnabled(!on);
    btnExit->setEnabled(!on);
    btnCancel->setEnabled(on);
    btnCancel->setVisible(on);
    if (on)
        btnCancel->raise();
    else
        btnCancel->lower();
    for (QWidget *w : std::initializer_list<QWidget *>{lblPort01, cbxCommNo, lblBaudRate,
                                                       cbxBaudRate, edID01, edID02, chkThorough})
        w->setEnabled(!on);
}

void TfrmComSearch::tmrSearchTimer()
{
    tmrSearch.stop();
    if (cancelRequested_ || closing_) {
        searchFinished();
        return;
    }
    const QString firstId = NormaliseDeviceId(edID01->text());
    const QString lastId = NormaliseDeviceId(edID02->text());
    edID01->setText(firstId);
    edID02->setText(lastId);

    QStringList names;
    if (lblPort01->isChecked()) {
        fillPortList();
        for (int i = 0; i < cbxCommNo->count(); ++i)
            names << cbxCommNo->itemText(i);
    } else {
        names << cbxCommNo->currentText();
    }
    SerialSearch::Request request;
    request.map = map_;
    request.ports = SerialTargetsInSearchOrder(names, map_);
    request.plan.lineSettings = lblBaudRate->isChecked() ? LineSettingsSearchOrder()
                                                         : QStringList{cbxBaudRate->currentText()};
    request.plan.firstId = firstId.toInt();
    request.plan.lastId = lastId.toInt();
    firstId_ = request.plan.firstId;
    lastId_ = request.plan.lastId;
    request.plan.thorough = chkThorough->isChecked();
    lastPortTried_ = request.ports.isEmpty() ? QString() : request.ports.last().name;
    search_.start(request);
}

void TfrmComSearch::showScan(const QString &portName, const QString &lineSettings, int deviceId)
{
    if (!searching_)
        return;
    // The boxes show where the search is, as it goes.
    cbxCommNo->setCurrentText(portName);
    cbxBaudRate->setCurrentText(lineSettings);
    // 0 is the broadcast, which asks every Device ID of the range at once.
    const QString ids = deviceId > 0
                            ? DeviceIdText(deviceId)
                            : DeviceIdText(firstId_) + Label1->text() + DeviceIdText(lastId_);
    sbMain->setText(language_.TableText(TextRow::Scanning) + QStringLiteral(" COM:") +
                    QString::number(ComPortNumber(portName)) + QLatin1Char(' ') + lineSettings +
                    QLatin1Char(' ') + ids);
}

void TfrmComSearch::tmrScanTimer()
{
    sbMain->blink();
}

void TfrmComSearch::searchFinished()
{
    tmrScan.stop();
    sbMain->rest();
    found_ = cancelRequested_ ? std::nullopt : search_.hit();
    if (found_)
        lastPortTried_ = found_->portName;
    fillPortList();
    if (!lastPortTried_.isEmpty())
        cbxCommNo->setCurrentText(lastPortTried_);
    cbxBaudRate->setCurrentText(DefaultLineSettings());
    sbMain->setText(QString());
    setSearching(false);
    if (closing_)
        return;
    const QString caption = language_.TableText(TextRow::SystemMessage);
    if (found_) {
        const QString gap = QStringLiteral("  ");
        prompt_.message(language_.TableText(TextRow::SucceededInFinding) + gap + found_->portName +
                            gap + found_->lineSettings + gap + found_->deviceId + QLatin1Char(' '),
                        caption);
        return;
    }
    QString notFound = language_.TableText(TextRow::CouldNotFind) + QLatin1Char('!');
    const std::optional<ControllerHit> outside =
        cancelRequested_ ? std::nullopt : search_.outsideRange();
    if (outside)
        notFound += QLatin1Char('\n') +
                    tr("A controller with Device ID %1 answers at %2 %3, outside the Device IDs "
                       "searched.")
                        .arg(outside->deviceId, outside->portName, outside->lineSettings);
    prompt_.message(notFound, caption);
}

void TfrmComSearch::btnCancelClick()
{
    cancelRequested_ = true;
    if (tmrSearch.isActive()) {
        tmrSearch.stop();
        searchFinished();
        return;
    }
    search_.stop();
}

void TfrmComSearch::btnExitClick()
{
    close();
}

void TfrmComSearch::closeEvent(QCloseEvent *event)
{
    // The search holds ports: the window stays until it has ended.
    if (searching_) {
        event->ignore();
        return;
    }
    tmrScan.stop();
    closing_ = true;
    QDialog::closeEvent(event);
}

void TfrmComSearch::reject()
{
    if (searching_)
        return;
    closing_ = true;
    tmrScan.stop();
    QDialog::reject();
}
