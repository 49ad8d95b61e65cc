#include "TfrmIOdata.h"

#include "Comm.h"
#include "Language.h"
#include "RecordJournal.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ToolBarHeight = 43;
constexpr int PanelWidth = 172;
constexpr int LargeButtonWidth = 166;
constexpr int LargeButtonHeight = 85;
constexpr int CountDigits = 7;
constexpr int StatusColumn = 3;

QToolButton *ToolButton(QWidget *parent, const QString &name, QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setFixedSize(38, 38);
    return button;
}

QPushButton *LargeButton(QWidget *parent, const QString &name, int height = LargeButtonHeight)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setFixedSize(LargeButtonWidth, height);
    return button;
}

} // namespace

void TfrmIOdata::buildUi()
{
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    buildToolBar();
    root->addWidget(tbEdit);

    auto *middle = new QHBoxLayout;
    middle->setSpacing(2);
    dgView = new QTableView(this);
    dgView->setObjectName(QStringLiteral("dgView"));
    dgView->setModel(&model_);
    dgView->setSelectionBehavior(QAbstractItemView::SelectRows);
    dgView->setSelectionMode(QAbstractItemView::SingleSelection);
    dgView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgView->setSortingEnabled(false);
    dgView->setShowGrid(true);
    dgView->verticalHeader()->setDefaultSectionSize(20);
    dgView->verticalHeader()->setMinimumWidth(18);
    dgView->installEventFilter(this);
    dgView->viewport()->installEventFilter(this);
    middle->addWidget(dgView, 1);
    buildRightPanel();
    middle->addWidget(pnl);
    root->addLayout(middle, 1);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sbMain"));
    bar->setSizeGripEnabled(false);
    sbMode = new QLabel(bar);
    sbMode->setAlignment(Qt::AlignCenter);
    sbMode->setFixedWidth(100);
    sbMessage = new QLabel(bar);
    sbMessage->setObjectName(QStringLiteral("sbMessage"));
    sbMessage->setMinimumWidth(400);
    bar->addWidget(sbMode);
    bar->addWidget(sbMessage, 1);
    root->addWidget(bar);

    connect(btnDelete, &QToolButton::clicked, this, &TfrmIOdata::btnDeleteClick);
    connect(btnFirst, &QToolButton::clicked, this, [this] { move(&TableStore::First); });
    connect(btnPrev, &QToolButton::clicked, this, [this] { move(&TableStore::Prior); });
    connect(btnNext, &QToolButton::clicked, this, [this] { move(&TableStore::Next); });
    connect(btnLast, &QToolButton::clicked, this, [this] { move(&TableStore::Last); });
    connect(btnExit, &QToolButton::clicked, this, &TfrmIOdata::reject);
    connect(btnDeviceRead, &QPushButton::clicked, this, &TfrmIOdata::btnDeviceReadClick);
    connect(btnOutput, &QPushButton::clicked, this, &TfrmIOdata::btnOutputClick);
    connect(btnExportPdf, &QPushButton::clicked, this, &TfrmIOdata::btnExportPdfClick);
    connect(btnExportCsv, &QPushButton::clicked, this, &TfrmIOdata::btnExportCsvClick);
    connect(btnSaveFile, &QPushButton::clicked, this, &TfrmIOdata::btnSaveFileClick);
    connect(btnReadFile, &QPushButton::clicked, this, &TfrmIOdata::btnReadFileClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmIOdata::btnClearClick);
    connect(&model_, &TableStoreModel::currentRowChanged, this, &TfrmIOdata::syncSelection);
    connect(dgView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() + 1 != table_.RecNo())
                    table_.SetRecNo(current.row() + 1);
            });
    // A click on a column title does not sort; the title only takes the click.
    dgView->horizontalHeader()->setSectionsClickable(true);
}

void TfrmIOdata::buildToolBar()
{
    tbEdit = new QWidget(this);
    tbEdit->setObjectName(QStringLiteral("tbEdit"));
    tbEdit->setFixedHeight(ToolBarHeight);
    auto *tools = new QHBoxLayout(tbEdit);
    tools->setContentsMargins(2, 2, 2, 2);
    tools->setSpacing(1);
    btnDelete = ToolButton(tbEdit, QStringLiteral("btnDelete"), QStyle::SP_TrashIcon);
    btnFirst = ToolButton(tbEdit, QStringLiteral("btnFirst"), QStyle::SP_MediaSkipBackward);
    btnPrev = ToolButton(tbEdit, QStringLiteral("btnPrev"), QStyle::SP_MediaSeekBackward);
    btnNext = ToolButton(tbEdit, QStringLiteral("btnNext"), QStyle::SP_MediaSeekForward);
    btnLast = ToolButton(tbEdit, QStringLiteral("btnLast"), QStyle::SP_MediaSkipForward);
    btnExit = ToolButton(tbEdit, QStringLiteral("btnExit"), QStyle::SP_DialogCloseButton);
    for (QToolButton *b : {btnDelete, btnFirst, btnPrev, btnNext, btnLast, btnExit})
        tools->addWidget(b);
    tools->addStretch();
}

void TfrmIOdata::buildRightPanel()
{
    pnl = new QWidget(this);
    pnl->setObjectName(QStringLiteral("pnl"));
    pnl->setFixedWidth(PanelWidth);
    auto *right = new QVBoxLayout(pnl);
    right->setContentsMargins(3, 3, 3, 3);
    right->setSpacing(3);
    lblEndIONo = new QLabel(pnl);
    lblEndIONo->setObjectName(QStringLiteral("lblEndIONo"));
    edtEndIONo = new QLineEdit(pnl);
    edtEndIONo->setObjectName(QStringLiteral("edtEndIONo"));
    edtEndIONo->setMaxLength(CountDigits);
    edtEndIONo->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(CountDigits)), this));
    edtEndIONo->setText(QStringLiteral("9999999"));
    right->addWidget(lblEndIONo);
    right->addWidget(edtEndIONo);
    btnDeviceRead = LargeButton(pnl, QStringLiteral("btnDeviceRead"));
    btnOutput = LargeButton(pnl, QStringLiteral("btnOutput"));
    btnSaveFile = LargeButton(pnl, QStringLiteral("btnSaveFile"));
    btnReadFile = LargeButton(pnl, QStringLiteral("btnReadFile"));
    btnClear = LargeButton(pnl, QStringLiteral("btnClear"));
    btnExportPdf = new QPushButton(pnl);
    btnExportPdf->setObjectName(QStringLiteral("btnExportPdf"));
    btnExportCsv = new QPushButton(pnl);
    btnExportCsv->setObjectName(QStringLiteral("btnExportCsv"));
    auto *exports = new QHBoxLayout;
    exports->setSpacing(2);
    exports->addWidget(btnExportPdf);
    exports->addWidget(btnExportCsv);
    right->addWidget(btnDeviceRead);
    right->addWidget(btnOutput);
    right->addLayout(exports);
    right->addWidget(btnSaveFile);
    right->addWidget(btnReadFile);
    right->addWidget(btnClear);
    right->addStretch();
}

void TfrmIOdata::applyLanguage()
{
    setWindowTitle(text(TextRow::RecordDataHint));
    btnDelete->setToolTip(text(TextRow::Delete));
    btnFirst->setToolTip(text(TextRow::First));
    btnPrev->setToolTip(text(TextRow::Prev));
    btnNext->setToolTip(text(TextRow::Next));
    btnLast->setToolTip(text(TextRow::Last));
    btnExit->setToolTip(text(TextRow::ExitButton));
    lblEndIONo->setText(text(TextRow::IoDataCount) + QLatin1Char(':'));
    const QList<QPair<QPushButton *, TextRow>> captions{{btnDeviceRead, TextRow::ReadFromDevice},
                                                        {btnOutput, TextRow::PrintPreview},
                                                        {btnSaveFile, TextRow::WriteToFile},
                                                        {btnReadFile, TextRow::ReadFromFile},
                                                        {btnClear, TextRow::ClearScreenData}};
    for (const auto &[button, row] : captions) {
        button->setText(text(row));
        button->setToolTip(text(row));
    }
    btnExportPdf->setText(tr("Export PDF"));
    btnExportPdf->setToolTip(tr("Save the report as a PDF file"));
    btnExportCsv->setText(tr("Export CSV"));
    btnExportCsv->setToolTip(tr("Save the table as a CSV file for a spreadsheet"));
    // The grid's titles change only with the language; redoing them resets the grid.
    if (gridLanguage_ != language_.EffectiveIndex()) {
        gridLanguage_ = language_.EffectiveIndex();
        model_.setColumns({QStringLiteral("IONO"), QStringLiteral("CardNO"),
                           QStringLiteral("DataTime"), QStringLiteral("SStatus"),
                           QStringLiteral("iChannel"), QStringLiteral("APB")},
                          {text(TextRow::RecordNoColumn), text(TextRow::CardNoColumn),
                           text(TextRow::DateTimeColumn), text(TextRow::StatusColumn),
                           text(TextRow::ChannelColumn), QStringLiteral("APB")});
        // The widths of the design, wider where a language's title needs it; the status
        // column takes the room left, so that a wider window shows the longer texts whole.
        const int widths[] = {70, 70, 158, 150, 50, 50};
        QHeaderView *header = dgView->horizontalHeader();
        for (int c = 0; c < 6; ++c)
            dgView->setColumnWidth(c, qMax(widths[c], header->sectionSizeHint(c)));
        header->setSectionResizeMode(StatusColumn, QHeaderView::Stretch);
    }
    btnDeviceRead->setEnabled(comm_.DeviceConnected() && journal_ && journal_->isOpen());
}
