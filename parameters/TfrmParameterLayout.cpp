#include "NamedWidget.h"
#include "PageLayout.h"
#include "PageParameter.h"
#include "TfrmParameter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int WindowWidth = 1000;
constexpr int WindowHeight = 550;
constexpr int ComboWidth = 90;
constexpr int StatusPanel0Width = 100;
constexpr int StatusPanel1Width = 400;
constexpr int ComboMaxCharacters = 4;

// Read-only: nothing is typed here, and a path set from a dialog or the settings is shown
// whole, however long.
QLineEdit *PathEdit(const QString &name, QWidget *parent)
{
    auto *edit = Named(new QLineEdit(parent), name);
    edit->setReadOnly(true);
    edit->setStyleSheet(QStringLiteral("QLineEdit { background-color: #A6CAF0; }"));
    return edit;
}

} // namespace

void TfrmParameter::buildWindow()
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    pcMain = Named(new QTabWidget(this), QStringLiteral("pcMain"));
    ts01 = buildBackupPage();
    ts02 = buildSetupPage();
    ts03 = buildSdCardPage();
    pcMain->addTab(ts01, QString());
    pcMain->addTab(ts02, QString());
    pcMain->addTab(ts03, QString());
    showPages(Pages::Parameters);
    layout->addWidget(pcMain);

    auto *sbMain = Named(new QStatusBar(this), QStringLiteral("sbMain"));
    sbMain->setSizeGripEnabled(false);
    statusPanel0_ = new QLabel(sbMain);
    statusPanel0_->setFixedWidth(StatusPanel0Width);
    statusPanel0_->setAlignment(Qt::AlignCenter);
    statusPanel1_ = new QLabel(sbMain);
    statusPanel1_->setMinimumWidth(StatusPanel1Width);
    sbMain->addWidget(statusPanel0_);
    sbMain->addWidget(statusPanel1_, 1);
    layout->addWidget(sbMain);
    resize(WindowWidth, WindowHeight);
}

QWidget *TfrmParameter::buildBackupPage()
{
    auto *page = Named(new QWidget(), QStringLiteral("ts01"));
    auto *grid = new QGridLayout(page);
    lbl101 = Named(new QLabel(page), QStringLiteral("lbl101"));
    edPath01 = PathEdit(QStringLiteral("edPath01"), page);
    btnOpenFile01 = Named(new QToolButton(page), QStringLiteral("btnOpenFile01"));
    btnOpenFile01->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    btnBackup = Named(new QPushButton(page), QStringLiteral("btnBackup"));
    lbl102 = Named(new QLabel(page), QStringLiteral("lbl102"));
    edPath02 = PathEdit(QStringLiteral("edPath02"), page);
    btnOpenFile02 = Named(new QToolButton(page), QStringLiteral("btnOpenFile02"));
    btnOpenFile02->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    btnRestore = Named(new QPushButton(page), QStringLiteral("btnRestore"));
    auto *btnExit01 = Named(new QPushButton(page), QStringLiteral("btnExit01"));
    for (QPushButton *button : {btnBackup, btnRestore, btnExit01})
        button->setMinimumHeight(36);

    grid->addWidget(lbl101, 0, 0);
    grid->addWidget(edPath01, 0, 1);
    grid->addWidget(btnOpenFile01, 0, 2);
    grid->addWidget(btnBackup, 0, 3);
    grid->addWidget(lbl102, 1, 0);
    grid->addWidget(edPath02, 1, 1);
    grid->addWidget(btnOpenFile02, 1, 2);
    grid->addWidget(btnRestore, 1, 3);
    grid->addWidget(btnExit01, 2, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    exitButtons_.append(btnExit01);

    connect(btnOpenFile01, &QToolButton::clicked, this, &TfrmParameter::btnOpenFile01Click);
    connect(btnOpenFile02, &QToolButton::clicked, this, &TfrmParameter::btnOpenFile02Click);
    connect(btnBackup, &QPushButton::clicked, this, &TfrmParameter::btnBackupClick);
    connect(btnRestore, &QPushButton::clicked, this, &TfrmParameter::btnRestoreClick);
    connect(btnExit01, &QPushButton::clicked, this, &QDialog::close);
    return page;
}

QWidget *TfrmParameter::buildRow(int number, QWidget *parent)
{
    const PageParameter &parameter = *FindPageParameter(number);
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto *label =
        Named(new QLabel(row), QStringLiteral("lbl%1").arg(number, 2, 10, QLatin1Char('0')));
    auto *combo =
        Named(new QComboBox(row), QStringLiteral("cbx%1").arg(number, 2, 10, QLatin1Char('0')));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(parameter.items());
    combo->lineEdit()->setMaxLength(ComboMaxCharacters);
    combo->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(ComboMaxCharacters)), combo));
    combo->setFixedWidth(ComboWidth);
    combo->setMaxVisibleItems(16);
    auto *read = Named(new QToolButton(row), parameter.readButton);
    read->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    auto *write = Named(new QToolButton(row), parameter.writeButton);
    write->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    layout->addWidget(label, 1);
    layout->addWidget(combo);
    layout->addWidget(read);
    layout->addWidget(write);

    paramBox_.insert(number, combo);
    paramLabel_.insert(number, label);
    readButtons_.insert(number, read);
    writeButtons_.insert(number, write);
    rowWidgets_.insert(number, {label, combo, read, write});
    connect(read, &QToolButton::clicked, this, [this, number] { btn101Click(number); });
    connect(write, &QToolButton::clicked, this, [this, number] { btn201Click(number); });
    return row;
}

QWidget *TfrmParameter::buildSetupPage()
{
    auto *page = Named(new QWidget(), QStringLiteral("ts02"));
    auto *layout = new QVBoxLayout(page);
    layout->setSpacing(2);
    auto *columns = new QHBoxLayout();
    columns->setSpacing(24);
    for (const QList<int> *numbers : {&PageLayout::LeftColumn(), &PageLayout::RightColumn()}) {
        auto *column = new QVBoxLayout();
        column->setSpacing(1);
        for (const int number : *numbers)
            column->addWidget(buildRow(number, page));
        column->addStretch(1);
        columns->addLayout(column, 1);
    }
    layout->addLayout(columns, 1);

    auto *buttons = new QHBoxLayout();
    btnRxAll = Named(new QPushButton(page), QStringLiteral("btnRxAll"));
    btnTxAll = Named(new QPushButton(page), QStringLiteral("btnTxAll"));
    btnDefault = Named(new QPushButton(page), QStringLiteral("btnDefault"));
    auto *btnExit02 = Named(new QPushButton(page), QStringLiteral("btnExit02"));
    for (QPushButton *button : {btnRxAll, btnTxAll, btnDefault, btnExit02})
        buttons->addWidget(button);
    exitButtons_.append(btnExit02);
    layout->addLayout(buttons);

    auto *bottom = new QHBoxLayout();
    bottom->addWidget(buildRow(PageLayout::BottomRow, page), 1);
    bottom->addStretch(1);
    layout->addLayout(bottom);

    connect(btnRxAll, &QPushButton::clicked, this, &TfrmParameter::btnRxAllClick);
    connect(btnTxAll, &QPushButton::clicked, this, &TfrmParameter::btnTxAllClick);
    connect(btnDefault, &QPushButton::clicked, this, &TfrmParameter::btnDefaultClick);
    connect(btnExit02, &QPushButton::clicked, this, &QDialog::close);
    return page;
}
