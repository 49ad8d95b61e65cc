#include "TfrmNetSearch.h"

#include "DeviceId.h"
#include "DeviceIdText.h"
#include "Language.h"
#include "SearchStatusBar.h"
#include "UserPrompt.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

constexpr int NetSearchWidth = 448;
constexpr int NetSearchHeight = 202;
constexpr int DefaultPort = 5001;
constexpr int HighestPart = 255;

// The value of an address edit; `fallback` when it holds no number.
int PartValue(const QLineEdit *edit, int fallback)
{
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

// Writes only a changed text, so that a selection made by moving into the edit survives.
void SetIfChanged(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

TfrmNetSearch::TfrmNetSearch(const Language &language, UserPrompt &prompt, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      language_(language), prompt_(prompt)
{
    setObjectName(QStringLiteral("frmNetSearch"));
    buildLayout();
    tmrScan.setInterval(200);
    tmrTimeOut.setInterval(800);
    connect(&tmrScan, &QTimer::timeout, this, &TfrmNetSearch::tmrScanTimer);
    connect(&tmrTimeOut, &QTimer::timeout, this, &TfrmNetSearch::tmrTimeOutTimer);
    connect(btnSearch, &QPushButton::clicked, this, &TfrmNetSearch::btnSearchClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmNetSearch::btnCancelClick);
    connect(btnExit, &QPushButton::clicked, this, &TfrmNetSearch::btnExitClick);
    connect(&search_, &NetworkSearch::probing, this, &TfrmNetSearch::showProbe);
    connect(&search_, &NetworkSearch::finished, this, &TfrmNetSearch::searchFinished);
    applyCaptions();
}

TfrmNetSearch::~TfrmNetSearch()
{
    tmrScan.stop();
    tmrTimeOut.stop();
}

void TfrmNetSearch::buildLayout()
{
    auto edit = [this](const char *name, const char *text, int maxLength, int width) {
        auto *e = new QLineEdit(QString::fromLatin1(text), this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength);
        e->setFixedWidth(width);
        return e;
    };
    auto label = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    lblIP = label("lblIP", QStringLiteral("IP:"));
    edtIP01 = edit("edtIP01", "192", 3, 44);
    edtIP02 = edit("edtIP02", "168", 3, 44);
    edtIP03 = edit("edtIP03", "1", 3, 44);
    edtIP04 = edit("edtIP04", "101", 3, 44);
    Label2 = label("Label2", QStringLiteral("～"));
    edtIP05 = edit("edtIP05", "101", 3, 44);
    lblPort02 = label("lblPort02", QString());
    edtPort = edit("edtPort", "5001", 5, 60);
    lblID02 = label("lblID02", QString());
    edID01 = edit("edID01", "0001", 4, 60);
    Label1 = label("Label1", QStringLiteral("～"));
    edID02 = edit("edID02", "0001", 4, 60);

    const auto *part =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (QLineEdit *e : {edtIP01, edtIP02, edtIP03, edtIP04, edtIP05}) {
        e->setValidator(part);
        e->installEventFilter(this);
    }
    const auto *number =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), this);
    for (QLineEdit *e : {edtPort, edID01, edID02})
        e->setValidator(number);

    btnSearch = new QPushButton(this);
    btnSearch->setObjectName(QStringLiteral("btnSearch"));
    btnCancel = new QPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->hide();
    btnExit = new QPushButton(this);
    btnExit->setObjectName(QStringLiteral("btnExit"));
    for (QPushButton *button : {btnSearch, btnCancel, btnExit})
        button->setAutoDefault(false);

    auto *address = new QHBoxLayout;
    address->setSpacing(2);
    for (QLineEdit *e : {edtIP01, edtIP02, edtIP03}) {
        address->addWidget(e);
        address->addWidget(new QLabel(QStringLiteral("."), this));
    }
    address->addWidget(edtIP04);
    address->addSpacing(4);
    address->addWidget(Label2);
    address->addSpacing(4);
    address->addWidget(edtIP05);
    address->addStretch(1);

    auto *ids = new QHBoxLayout;
    ids->addWidget(edID01);
    ids->addWidget(Label1);
    ids->addWidget(edID02);
    ids->addStretch(1);

    auto *grid = new QGridLayout;
    grid->addWidget(lblIP, 0, 0);
    grid->addLayout(address, 0, 1);
    grid->addWidget(lblPort02, 1, 0);
    grid->addWidget(edtPort, 1, 1, Qt::AlignLeft);
    grid->addWidget(lblID02, 2, 0);
    grid->addLayout(ids, 2, 1);
    grid->setColumnStretch(1, 1);

    // Cancel takes the place of Search while a search runs.
    auto *buttons = new QGridLayout;
    buttons->addWidget(btnSearch, 0, 0);
    buttons->addWidget(btnCancel, 0, 0);
    buttons->addWidget(btnExit, 0, 1);

    sbMain = new SearchStatusBar(this);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(12, 0, 12, 0);
    body->addLayout(grid);
    body->addStretch(1);
    body->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->addLayout(body, 1);
    layout->addWidget(sbMain);
    setMinimumSize(NetSearchWidth, NetSearchHeight);
}

void TfrmNetSearch::applyCaptions()
{
    setWindowTitle(language_.TableText(TextRow::SearchDeviceTitle));
    lblPort02->setText(language_.TableText(TextRow::TcpPortLabel) + QStringLiteral(" :"));
    lblID02->setText(language_.TableText(TextRow::DeviceIdLabel) + QStringLiteral(" :"));
    btnSearch->setText(language_.TableText(TextRow::SearchButton));
    btnCancel->setText(language_.TableText(TextRow::CancelButton));
    btnExit->setText(language_.TableText(TextRow::ExitButton));
}

void TfrmNetSearch::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Only when the program shows the window: the window system shows it again when it is
    // restored, and the person's choices and place stay then.
    if (!event->spontaneous())
        FormShow();
}

void TfrmNetSearch::FormShow()
{
    applyCaptions();
    adjustSize();
    if (parentWidget())
        move(parentWidget()->frameGeometry().center() - rect().center());
}

bool TfrmNetSearch::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (edtIPKeyPress(edit, static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::KeyRelease:
        if (edit == edtIP04)
            edtIP04KeyUp();
        break;
    case QEvent::FocusOut:
        if (edit == edtIP04)
            edtIP04Exit();
        else if (edit == edtIP05)
            edtIP05Exit();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmNetSearch::edtIPKeyPress(QLineEdit *edit, const QKeyEvent *event)
{
    const QString text = event->text();
    // Keys without a character (arrows, Tab, Delete, Backspace) keep their usual work.
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    const QChar c = text.at(0);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return false;
    if (c == QLatin1Char('.')) {
        QLineEdit *const order[] = {edtIP01, edtIP02, edtIP03, edtIP04, edtIP05, edtPort};
        for (int i = 0; i < 5; ++i) {
            if (order[i] == edit) {
                order[i + 1]->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    return true;
}

void TfrmNetSearch::edtIP04KeyUp()
{
    const int first = PartValue(edtIP04, 101);
    const int last = PartValue(edtIP05, 101);
    SetIfChanged(edtIP04, QString::number(first));
    SetIfChanged(edtIP05, QString::number(last));
    if (last < first)
        SetIfChanged(edtIP05, edtIP04->text());
}

void TfrmNetSearch::edtIP04Exit()
{
    const int value = PartValue(edtIP04, 101);
    if (value > HighestPart)
        SetIfChanged(edtIP04, QString::number(HighestPart));
    else if (value <= 0)
        SetIfChanged(edtIP04, QStringLiteral("1"));
}

void TfrmNetSearch::edtIP05Exit()
{
    const int value = PartValue(edtIP05, 101);
    if (value > HighestPart)
        SetIfChanged(edtIP05, QString::number(HighestPart));
    else if (value <= 0)
        SetIfChanged(edtIP05, QStringLiteral("1"));
    const int first = PartValue(edtIP04, 101);
    const int last = PartValue(edtIP05, 101);
    SetIfChanged(edtIP04, QString::number(first));
    SetIfChanged(edtIP05, QString::number(last));
    if (last < first)
        SetIfChanged(edtIP04, edtIP05->text());
}

int TfrmNetSearch::portValue() const
{
    bool ok = false;
    const int port = edtPort->text().trimmed().toInt(&ok);
    return ok && port > 0 && port <= 65535 ? port : DefaultPort;
}

void TfrmNetSearch::btnSearchClick()
{
    if (searching_)
        return;
    found_.reset();
    // Every address part as a number within 0-255 (no name ever reaches a name lookup).
    const int defaults[] = {192, 168, 1, 101, 101};
    QLineEdit *const parts[] = {edtIP01, edtIP02, edtIP03, edtIP04, edtIP05};
    for (int i = 0; i < 5; ++i)
        parts[i]->setText(QString::number(qMin(PartValue(parts[i], defaults[i]), HighestPart)));
    if (edtIP05->text().toInt() < edtIP04->text().toInt())
        edtIP05->setText(edtIP04->text());
    // The port searched, as the status line and the closing message name it.
    edtPort->setText(QString::number(portValue()));
    edID01->setText(NormaliseDeviceId(edID01->text()));
    edID02->setText(NormaliseDeviceId(edID02->text()));

    NetworkSearch::Request request;
    request.network =
        edtIP01->text() + QLatin1Char('.') + edtIP02->text() + QLatin1Char('.') + edtIP03->text();
    request.first = edtIP04->text().toInt();
    request.last = edtIP05->text().toInt();
    request.port = static_cast<quint16>(portValue());
    request.firstId = edID01->text().toInt();
    request.lastId = edID02->text().toInt();
    request.connectTimeoutMs = connectTimeoutMs_;
    const QString caption = language_.TableText(TextRow::SystemMessage);
    // No Device ID to probe: nothing to connect to.
    if (request.firstId > request.lastId) {
        prompt_.message(language_.TableText(TextRow::CouldNotFind) + QLatin1Char('!'), caption);
        return;
    }
    const QString refusal = NetworkSearch::Refusal(request);
    if (!refusal.isEmpty()) {
        prompt_.message(refusal, caption);
        return;
    }
    setSearching(true);
    started_.start();
    const QString range = request.first == request.last
                              ? QString::number(request.first)
                              : QStringLiteral("%1-%2").arg(request.first).arg(request.last);
    showStatusLine(language_.TableText(TextRow::Scanning) + QLatin1Char(' ') + request.network +
                   QLatin1Char('.') + range + QLatin1Char(':') + edtPort->text());
    tmrScan.start();
    tmrTimeOut.start();
    if (!search_.start(request))
        searchFinished(false);
}

void TfrmNetSearch::setSearching(bool on)
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
    for (QLineEdit *e : {edtIP01, edtIP02, edtIP03, edtIP04, edtIP05, edtPort, edID01, edID02})
        e->setEnabled(!on);
}

void TfrmNetSearch::showStatusLine(const QString &line)
{
    statusLine_ = line;
    sbMain->setText(line);
}

void TfrmNetSearch::showProbe(const QString &address, int deviceId)
{
    if (!searching_)
        return;
    showStatusLine(language_.TableText(TextRow::Scanning) + QLatin1Char(' ') + address +
                   QLatin1Char(':') + edtPort->text() + QStringLiteral(" ID:") +
                   DeviceIdText(deviceId));
}

void TfrmNetSearch::tmrScanTimer()
{
    sbMain->blink();
}

void TfrmNetSearch::tmrTimeOutTimer()
{
    if (!searching_ || statusLine_.contains(QLatin1String("ID")) || search_.connectingCount() == 0)
        return;
    const qint64 left = qMax<qint64>(0, connectTimeoutMs_ - started_.elapsed() + 999) / 1000;
    sbMain->setText(statusLine_ + QStringLiteral("  ") + QString::number(left));
}

void TfrmNetSearch::searchFinished(bool found)
{
    tmrScan.stop();
    tmrTimeOut.stop();
    sbMain->rest();
    setSearching(false);
    showStatusLine(QString());
    const QList<ControllerHit> hits = search_.hits();
    if (found && !hits.isEmpty())
        found_ = hits.first();
    const QString caption = language_.TableText(TextRow::SystemMessage);
    if (!found_) {
        prompt_.message(language_.TableText(TextRow::CouldNotFind) + QLatin1Char('!'), caption);
        return;
    }
    const QString part = found_->address.section(QLatin1Char('.'), 3);
    edtIP04->setText(part);
    edtIP05->setText(part);
    const QString gap = QStringLiteral("  ");
    prompt_.message(language_.TableText(TextRow::SucceededInFinding) + gap + found_->address +
                        QLatin1Char(':') + edtPort->text() + gap + found_->deviceId +
                        QLatin1Char(' '),
                    caption);
}

void TfrmNetSearch::btnCancelClick()
{
    search_.stop();
}

void TfrmNetSearch::btnExitClick()
{
    close();
}

void TfrmNetSearch::closeEvent(QCloseEvent *event)
{
    if (searching_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfrmNetSearch::reject()
{
    if (searching_)
        return;
    tmrScan.stop();
    tmrTimeOut.stop();
    search_.stop();
    QDialog::reject();
}
