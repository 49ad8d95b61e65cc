#include "CircleIndicator.h"
#include "GridColours.h"
#include "TfrmCardData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int QuickAddWidth = 362;
constexpr int QuickAddHeight = 262;
constexpr int CircleLeft = 40;
const QString SkyBlue = QStringLiteral("#A6CAF0");

QPushButton *pushButton(QWidget *parent, const QString &name)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setMinimumHeight(34);
    return button;
}

// An edit that takes only what `allowed` matches, up to `length` characters; backspace and
// Enter pass as they always do.
QLineEdit *filteredEdit(QWidget *parent, const QString &name, int length, const QString &allowed)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(length);
    if (!allowed.isEmpty())
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("%1{0,%2}").arg(allowed).arg(length)), edit));
    return edit;
}

} // namespace

void TfrmCardData::buildUi()
{
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(buildToolBar());

    auto *middle = new QHBoxLayout;
    middle->setSpacing(4);
    pcData = new QStackedWidget(this);
    pcData->setObjectName(QStringLiteral("pcData"));
    dgView = new QTableView(pcData);
    dgView->setObjectName(QStringLiteral("dgView"));
    grid_ = new TableGrid(table_, model_, dgView, this);
    for (const char *field : {"DataID", "DataAPB"})
        model_.setColumnBackground(QString::fromLatin1(field), GridColours::MoneyGreen);
    for (const char *field : {"DataApp", "DataPIN"})
        model_.setColumnBackground(QString::fromLatin1(field), GridColours::SkyBlue);
    dgView->verticalHeader()->setDefaultSectionSize(22);
    pcData->addWidget(dgView);
    buildDetailEditor();
    middle->addWidget(pcData, 1);
    middle->addWidget(buildRightPanel());
    root->addLayout(middle, 1);

    const TableGrid::StatusPanels status = TableGrid::StatusBar(this);
    sbMode = status.mode;
    sbMessage = status.message;
    shpCircle = new CircleIndicator(status.bar);
    shpCircle->hide();
    root->addWidget(status.bar);
    buildQuickAddPanel();

    grid_->connectButtons({btnDelete, btnFirst, btnPrev, btnNext, btnLast});
    connect(grid_, &TableGrid::moveFailed, this, &TfrmCardData::clearEditor);
    connect(btnExit02, &QToolButton::clicked, this, &QDialog::reject);
    connect(btnAdd, &QToolButton::clicked, this, &TfrmCardData::editorAdd);
    connect(btnEdit, &QToolButton::clicked, this, &TfrmCardData::editorEdit);
    connect(btnOk, &QToolButton::clicked, this, &TfrmCardData::editorOk);
    connect(btnCancel, &QToolButton::clicked, this, [this] { enterMode(Mode::View); });
    connect(btnBackup, &QPushButton::clicked, this, &TfrmCardData::btnBackupClick);
    connect(btnRestore, &QPushButton::clicked, this, &TfrmCardData::btnRestoreClick);
    connect(btnClearAll, &QPushButton::clicked, this, &TfrmCardData::btnClearAllClick);
    connect(btnReadFile, &QPushButton::clicked, this, &TfrmCardData::btnReadFileClick);
    connect(btnSaveFile, &QPushButton::clicked, this, &TfrmCardData::btnSaveFileClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmCardData::btnClearClick);
    connect(btnAddCard, &QPushButton::clicked, this, &TfrmCardData::btnAddCardClick);
    connect(btnExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnStop, &QPushButton::clicked, this, &TfrmCardData::btnStopClick);
}

QWidget *TfrmCardData::buildToolBar()
{
    tbEdit = new QWidget(this);
    tbEdit->setObjectName(QStringLiteral("tbEdit"));
    auto *tools = new QHBoxLayout(tbEdit);
    tools->setContentsMargins(2, 2, 2, 2);
    const TableGrid::Buttons navigation = TableGrid::NavigationButtons(tbEdit);
    btnDelete = navigation.btnDelete;
    btnFirst = navigation.btnFirst;
    btnPrev = navigation.btnPrev;
    btnNext = navigation.btnNext;
    btnLast = navigation.btnLast;
    btnAdd =
        TableGrid::ToolButton(tbEdit, QStringLiteral("btnAdd"), QStyle::SP_FileDialogNewFolder);
    btnEdit =
        TableGrid::ToolButton(tbEdit, QStringLiteral("btnEdit"), QStyle::SP_FileDialogDetailedView);
    btnOk = TableGrid::ToolButton(tbEdit, QStringLiteral("btnOk"), QStyle::SP_DialogApplyButton);
    btnCancel =
        TableGrid::ToolButton(tbEdit, QStringLiteral("btnCancel"), QStyle::SP_DialogCancelButton);
    btnExit02 =
        TableGrid::ToolButton(tbEdit, QStringLiteral("btnExit02"), QStyle::SP_DialogCloseButton);
    for (QToolButton *b : {btnAdd, btnEdit, btnDelete, btnOk, btnCancel, btnFirst, btnPrev, btnNext,
                           btnLast, btnExit02})
        tools->addWidget(b);
    tools->addStretch();
    // The detail editor is an expert's tool: its buttons show only with --expert, and OK and
    // Cancel only while it is open.
    btnAdd->setVisible(options_.expert);
    btnEdit->setVisible(options_.expert);
    btnOk->hide();
    btnCancel->hide();
    return tbEdit;
}

void TfrmCardData::buildDetailEditor()
{
    tsData = new QWidget(pcData);
    tsData->setObjectName(QStringLiteral("tsData"));
    auto *form = new QFormLayout(tsData);
    lbl01 = new QLabel(tsData);
    lbl02 = new QLabel(tsData);
    lbl03 = new QLabel(tsData);
    edt01 = filteredEdit(tsData, QStringLiteral("edt01"), 7, QString());
    edt02 = filteredEdit(tsData, QStringLiteral("edt02"), 16, QString());
    edt03 = filteredEdit(tsData, QStringLiteral("edt03"), 10, QString());
    form->addRow(lbl01, edt01);
    form->addRow(lbl02, edt02);
    form->addRow(lbl03, edt03);
    pcData->addWidget(tsData);
}

QWidget *TfrmCardData::buildRightPanel()
{
    pnlRight = new QWidget(this);
    pnlRight->setObjectName(QStringLiteral("pnlRight"));
    auto *right = new QVBoxLayout(pnlRight);
    lblStartCardNo = new QLabel(pnlRight);
    edtStartCardNo = filteredEdit(pnlRight, QStringLiteral("edtStartCardNo"), 5, "[0-9]");
    lblEndCardNo = new QLabel(pnlRight);
    edtEndCardNo = filteredEdit(pnlRight, QStringLiteral("edtEndCardNo"), 5, "[0-9]");
    for (QLineEdit *e : {edtStartCardNo, edtEndCardNo})
        e->installEventFilter(this);
    auto *range = new QFormLayout;
    range->addRow(lblStartCardNo, edtStartCardNo);
    range->addRow(lblEndCardNo, edtEndCardNo);
    right->addLayout(range);
    btnBackup = pushButton(pnlRight, QStringLiteral("btnBackup"));
    cbxClearAllUser = new QCheckBox(pnlRight);
    cbxClearAllUser->setObjectName(QStringLiteral("cbxClearAllUser"));
    cbxWriteChangesOnly = new QCheckBox(pnlRight);
    cbxWriteChangesOnly->setObjectName(QStringLiteral("cbxWriteChangesOnly"));
    // Deleting every card first and writing only the differences exclude each other.
    connect(cbxClearAllUser, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked)
            cbxWriteChangesOnly->setChecked(false);
    });
    connect(cbxWriteChangesOnly, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked)
            cbxClearAllUser->setChecked(false);
    });
    btnRestore = pushButton(pnlRight, QStringLiteral("btnRestore"));
    btnClearAll = pushButton(pnlRight, QStringLiteral("btnClearAll"));
    btnReadFile = pushButton(pnlRight, QStringLiteral("btnReadFile"));
    btnSaveFile = pushButton(pnlRight, QStringLiteral("btnSaveFile"));
    btnClear = pushButton(pnlRight, QStringLiteral("btnClear"));
    btnAddCard = pushButton(pnlRight, QStringLiteral("btnAddCard"));
    btnExit = pushButton(pnlRight, QStringLiteral("btnExit"));
    right->addWidget(btnBackup);
    right->addWidget(cbxClearAllUser);
    right->addWidget(cbxWriteChangesOnly);
    right->addWidget(btnRestore);
    right->addWidget(btnClearAll);
    right->addSpacing(12);
    right->addWidget(btnReadFile);
    right->addWidget(btnSaveFile);
    right->addWidget(btnClear);
    right->addSpacing(12);
    right->addWidget(btnAddCard);
    right->addStretch();
    right->addWidget(btnExit);
    // Wide enough for the longest caption, "Delete all cards while Writing", with its box.
    pnlRight->setFixedWidth(236);
    return pnlRight;
}

void TfrmCardData::buildQuickAddPanel()
{
    pnlCardID = new QWidget(this);
    pnlCardID->setObjectName(QStringLiteral("pnlCardID"));
    pnlCardID->setAutoFillBackground(true);
    pnlCardID->setFixedSize(QuickAddWidth, QuickAddHeight);
    pnlCardID->setStyleSheet(QStringLiteral("#pnlCardID { border: 2px outset palette(mid); }"
                                            "#pnlTitle { background-color: %1; font-weight: bold; }"
                                            "#lblCardIDNote { color: #B00000; }")
                                 .arg(SkyBlue));
    auto *layout = new QVBoxLayout(pnlCardID);
    layout->setContentsMargins(2, 2, 2, 6);
    layout->setSpacing(4);
    pnlTitle = new QLabel(pnlCardID);
    pnlTitle->setObjectName(QStringLiteral("pnlTitle"));
    pnlTitle->setAlignment(Qt::AlignCenter);
    pnlTitle->setFixedHeight(28);
    layout->addWidget(pnlTitle);

    auto *form = new QFormLayout;
    form->setContentsMargins(16, 2, 16, 0);
    form->setVerticalSpacing(4);
    lblCardNo = new QLabel(pnlCardID);
    edtCardNo = filteredEdit(pnlCardID, QStringLiteral("edtCardNo"), 7, "[0-9]");
    lblCardID = new QLabel(pnlCardID);
    edtCardID = filteredEdit(pnlCardID, QStringLiteral("edtCardID"), 16, QString());
    lblAppNo = new QLabel(pnlCardID);
    edtAppNo = filteredEdit(pnlCardID, QStringLiteral("edtAppNo"), 2, "[0-9]");
    lblAPB = new QLabel(pnlCardID);
    cbxAPB = new QComboBox(pnlCardID);
    cbxAPB->setObjectName(QStringLiteral("cbxAPB"));
    lblPIN = new QLabel(pnlCardID);
    edtPIN = filteredEdit(pnlCardID, QStringLiteral("edtPIN"), 4, "[0-9X]");
    form->addRow(lblCardNo, edtCardNo);
    form->addRow(lblCardID, edtCardID);
    form->addRow(lblAppNo, edtAppNo);
    form->addRow(lblAPB, cbxAPB);
    form->addRow(lblPIN, edtPIN);
    layout->addLayout(form);

    lblCardIDNote = new QLabel(pnlCardID);
    lblCardIDNote->setObjectName(QStringLiteral("lblCardIDNote"));
    lblCardIDNote->setWordWrap(true);
    lblCardIDNote->setContentsMargins(16, 0, 16, 0);
    layout->addWidget(lblCardIDNote, 1);
    btnStop = pushButton(pnlCardID, QStringLiteral("btnStop"));
    btnStop->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnStop, 2);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    pnlCardID->hide();
}

void TfrmCardData::placeOverlays()
{
    const QRect page(pcData->mapTo(this, QPoint(0, 0)), pcData->size());
    pnlCardID->move(page.center() - QPoint(QuickAddWidth / 2, QuickAddHeight / 2));
    QWidget *bar = shpCircle->parentWidget();
    const int side = std::max(bar->height() - 6, 4);
    shpCircle->setGeometry(CircleLeft, (bar->height() - side) / 2 + 1, side, side);
}
