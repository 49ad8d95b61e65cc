#include "TfrmKT480NT5.h"

#include "StatusIndicator.h"

#include <LanguageFont.h>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>

namespace {

template <typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

template <typename W> W *make(QWidget *parent, const char *name)
{
    return named(new W(parent), name);
}

// Digits only (and "." for addresses); every other character is refused as it is typed.
QLineEdit *numberEdit(QWidget *parent, const char *name, int maxLength, bool allowDot,
                      const QString &text)
{
    auto *edit = named(new QLineEdit(text, parent), name);
    edit->setMaxLength(maxLength);
    const QRegularExpression pattern(allowDot ? QStringLiteral("[0-9.]*")
                                              : QStringLiteral("[0-9]*"));
    edit->setValidator(new QRegularExpressionValidator(pattern, edit));
    return edit;
}

// Lays out a connection tab: the row of where the controller is (label, box, label, box,
// Connect) over the row of its Device ID (label, box, gap or label and box, Search).
void placeConnectionRows(QWidget *tab, const std::array<QWidget *, 5> &whereRow,
                         const std::array<QWidget *, 5> &idRow, int addressStretch)
{
    auto *grid = new QGridLayout(tab);
    for (int column = 0; column < 5; ++column) {
        grid->addWidget(whereRow[column], 0, column);
        if (idRow[column])
            grid->addWidget(idRow[column], 1, column);
    }
    grid->setColumnStretch(1, addressStretch);
    grid->setColumnStretch(3, 1);
}

QLabel *valuePanel(QWidget *parent, const char *name)
{
    auto *panel = named(new QLabel(parent), name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
    panel->setPalette(palette);
    // Only weight and size are set, so the family follows the language font of the window.
    QFont font;
    font.setBold(true);
    font.setPixelSize(16);
    panel->setFont(font);
    panel->setMinimumHeight(26);
    return panel;
}

const QStringList BaudRates{
    QStringLiteral("4800,n,8,1"),   QStringLiteral("4800,e,8,1"),   QStringLiteral("9600,n,8,1"),
    QStringLiteral("9600,e,8,1"),   QStringLiteral("19200,n,8,1"),  QStringLiteral("19200,e,8,1"),
    QStringLiteral("38400,n,8,1"),  QStringLiteral("38400,e,8,1"),  QStringLiteral("57600,n,8,1"),
    QStringLiteral("57600,e,8,1"),  QStringLiteral("115200,n,8,1"), QStringLiteral("115200,e,8,1"),
    QStringLiteral("460800,n,8,1"), QStringLiteral("460800,e,8,1"), QStringLiteral("921600,n,8,1"),
    QStringLiteral("921600,e,8,1")};

} // namespace

void TfrmKT480NT5::buildLayout()
{
    auto *central = new QWidget(this);
    auto *columns = new QHBoxLayout(central);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    pnlMain = named(new QFrame(central), "pnlMain");
    pnlMain->setFrameShape(QFrame::NoFrame);
    auto *mainColumn = new QVBoxLayout(pnlMain);
    pcMain = named(new QTabWidget(pnlMain), "pcMain");
    ts01 = buildSerialTab();
    ts02 = buildTcpTab();
    ts03 = buildUdpTab();
    pcMain->addTab(ts01, QStringLiteral("Com"));
    pcMain->addTab(ts02, QStringLiteral("TCP Server"));
    pcMain->addTab(ts03, QStringLiteral("UDP"));
    mainColumn->addWidget(pcMain);

    Panel1 = named(new QWidget(pnlMain), "Panel1");
    auto *panelColumn = new QVBoxLayout(Panel1);
    panelColumn->setContentsMargins(0, 0, 0, 0);
    panelColumn->addWidget(buildIdentityAndClock());
    panelColumn->addWidget(buildFunctionButtons());
    panelColumn->addStretch(1);
    panelColumn->addWidget(buildLanguageButtons());
    mainColumn->addWidget(Panel1, 1);

    // The main panel keeps its width; the log panel, when shown, takes the rest.
    columns->addWidget(pnlMain);
    columns->addWidget(buildLogPanel(), 1);
    setCentralWidget(central);
    buildStatusBar();
}

QWidget *TfrmKT480NT5::buildSerialTab()
{
    auto *tab = named(new QWidget, "ts01");
    lblPort01 = make<QLabel>(tab, "lblPort01");
    cbxCommNo = make<QComboBox>(tab, "cbxCommNo");
    cbxCommNo->setEditable(true);
    cbxCommNo->setInsertPolicy(QComboBox::NoInsert);
    lblBaudRate = make<QLabel>(tab, "lblBaudRate");
    cbxBaudRate = make<QComboBox>(tab, "cbxBaudRate");
    cbxBaudRate->addItems(BaudRates);
    cbxBaudRate->setCurrentText(ConnectionSettings::DefaultBaudRate);
    lblID01 = make<QLabel>(tab, "lblID01");
    edID01 = numberEdit(tab, "edID01", 4, false, QStringLiteral("0001"));
    btnConnect01 = make<QPushButton>(tab, "btnConnect01");
    btnSearch01 = make<QPushButton>(tab, "btnSearch01");
    placeConnectionRows(tab, {lblPort01, cbxCommNo, lblBaudRate, cbxBaudRate, btnConnect01},
                        {lblID01, edID01, nullptr, nullptr, btnSearch01}, 1);
    return tab;
}

QWidget *TfrmKT480NT5::buildTcpTab()
{
    auto *tab = named(new QWidget, "ts02");
    lblIP = make<QLabel>(tab, "lblIP");
    edtIP = numberEdit(tab, "edtIP", 15, true, ConnectionSettings::DefaultHost);
    lblPort02 = make<QLabel>(tab, "lblPort02");
    edtPort = numberEdit(tab, "edtPort", 5, false, QStringLiteral("5001"));
    lblID02 = make<QLabel>(tab, "lblID02");
    edID02 = numberEdit(tab, "edID02", 4, false, QStringLiteral("0001"));
    btnConnect02 = make<QPushButton>(tab, "btnConnect02");
    btnSearch02 = make<QPushButton>(tab, "btnSearch02");
    placeConnectionRows(tab, {lblIP, edtIP, lblPort02, edtPort, btnConnect02},
                        {lblID02, edID02, nullptr, nullptr, btnSearch02}, 2);
    return tab;
}

QWidget *TfrmKT480NT5::buildUdpTab()
{
    auto *tab = named(new QWidget, "ts03");
    lblUIP = make<QLabel>(tab, "lblUIP");
    edtIPudp = numberEdit(tab, "edtIPudp", 15, true, ConnectionSettings::DefaultHost);
    lblPort03 = make<QLabel>(tab, "lblPort03");
    edtUPort01 = numberEdit(tab, "edtUPort01", 5, false, QStringLiteral("5001"));
    lblPort04 = make<QLabel>(tab, "lblPort04");
    edtUPort02 = numberEdit(tab, "edtUPort02", 5, false, QStringLiteral("5001"));
    lblID03 = make<QLabel>(tab, "lblID03");
    // Four digits like the other tabs' boxes: the UDP connect reads this one.
    edID03 = numberEdit(tab, "edID03", 4, false, QStringLiteral("0001"));
    btnConnect03 = make<QPushButton>(tab, "btnConnect03");
    btnSearch03 = make<QPushButton>(tab, "btnSearch03");
    placeConnectionRows(tab, {lblUIP, edtIPudp, lblPort03, edtUPort01, btnConnect03},
                        {lblID03, edID03, lblPort04, edtUPort02, btnSearch03}, 2);
    return tab;
}

QWidget *TfrmKT480NT5::buildIdentityAndClock()
{
    auto *area = new QWidget(Panel1);
    auto *grid = new QGridLayout(area);
    lblSN = named(new QLabel(area), "lblSN");
    pnSN = valuePanel(area, "pnSN");
    lblVER = named(new QLabel(area), "lblVER");
    pnVER = valuePanel(area, "pnVER");
    lblDeviceTime = named(new QLabel(area), "lblDeviceTime");
    pnCur = valuePanel(area, "pnCur");
    btnDeviceTime = named(new QPushButton(area), "btnDeviceTime");
    lblNow = named(new QLabel(area), "lblNow");
    pnNow = valuePanel(area, "pnNow");
    btnSyn = named(new QPushButton(area), "btnSyn");
    for (QLabel *label : {lblSN, lblVER, lblDeviceTime, lblNow})
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *identity = new QHBoxLayout;
    identity->addWidget(lblSN);
    identity->addWidget(pnSN, 1);
    identity->addSpacing(8);
    identity->addWidget(lblVER);
    identity->addWidget(pnVER, 1);
    grid->addLayout(identity, 0, 0, 1, 3);
    grid->addWidget(lblDeviceTime, 1, 0);
    grid->addWidget(pnCur, 1, 1);
    grid->addWidget(btnDeviceTime, 1, 2);
    grid->addWidget(lblNow, 2, 0);
    grid->addWidget(pnNow, 2, 1);
    grid->addWidget(btnSyn, 2, 2);
    grid->setColumnStretch(1, 1);
    return area;
}

QWidget *TfrmKT480NT5::buildFunctionButtons()
{
    auto *area = new QWidget(Panel1);
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(9, 0, 9, 0);
    btnParameter = named(new QPushButton(area), "btnParameter");
    btnCard = named(new QPushButton(area), "btnCard");
    btnData = named(new QPushButton(area), "btnData");
    btnSdCard = named(new QPushButton(area), "btnSdCard");
    btnBackup = named(new QPushButton(area), "btnBackup");
    btnRestore = named(new QPushButton(area), "btnRestore");
    btnExit = named(new QPushButton(area), "btnExit");
    for (QPushButton *button :
         {btnParameter, btnCard, btnData, btnSdCard, btnBackup, btnRestore, btnExit}) {
        button->setMinimumHeight(30);
        column->addWidget(button);
    }
    return area;
}

QWidget *TfrmKT480NT5::buildLanguageButtons()
{
    auto *area = new QWidget(Panel1);
    auto *row = new QHBoxLayout(area);
    btnEng = named(new QPushButton(QStringLiteral("English"), area), "btnEng");
    QPalette red = btnEng->palette();
    red.setColor(QPalette::ButtonText, Qt::red);
    btnEng->setPalette(red);
    // Each language's name in its own script and font, whatever the current language.
    btnBIG5 = named(new QPushButton(QStringLiteral("繁體中文"), area), "btnBIG5");
    btnBIG5->setFont(LanguageFont(1));
    btnGB = named(new QPushButton(QStringLiteral("简体中文"), area), "btnGB");
    btnGB->setFont(LanguageFont(2));
    for (QPushButton *button : {btnEng, btnGB, btnBIG5}) {
        button->setMinimumHeight(30);
        row->addWidget(button);
    }
    return area;
}

QWidget *TfrmKT480NT5::buildLogPanel()
{
    pnlTest = named(new QWidget, "pnlTest");
    auto *column = new QVBoxLayout(pnlTest);
    Memo1 = named(new QPlainTextEdit(pnlTest), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setMaximumBlockCount(20000);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Panel2 = named(new QLabel(QStringLiteral("Clear"), pnlTest), "Panel2");
    Panel2->setAlignment(Qt::AlignCenter);
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setFrameShadow(QFrame::Raised);
    Panel2->setMinimumHeight(28);
    btnSaveLog = named(new QPushButton(pnlTest), "btnSaveLog");
    column->addWidget(Memo1, 1);
    column->addWidget(Panel2);
    column->addWidget(btnSaveLog);
    pnlTest->hide();
    return pnlTest;
}

void TfrmKT480NT5::buildStatusBar()
{
    auto *bar = named(new QStatusBar(this), "sbMain");
    bar->setSizeGripEnabled(false);
    indicator = new StatusIndicator(bar);
    indicator->setFixedWidth(30);
    indicator->hide();
    sbMainText = named(new QLabel(bar), "sbMainText");
    sbMainText->setMinimumWidth(300);
    sbMainExtra = named(new QLabel(bar), "sbMainExtra");
    sbMainExtra->setMinimumWidth(200);
    bar->addWidget(indicator);
    bar->addWidget(sbMainText, 3);
    bar->addWidget(sbMainExtra, 2);
    setStatusBar(bar);
}
