#include "TfrmIOdata.h"

#include "ArchiveAddress.h"
#include "Comm.h"
#include "EventCatalogue.h"
#include "EventDecoder.h"
#include "GridColours.h"
#include "IconButtonText.h"
#include "Language.h"
#include "RecordJournal.h"
#include "Settings.h"
#include "ShownEventText.h"

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

QPushButton *LargeButton(QWidget *parent, const QString &name, int height = LargeButtonHeight)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setFixedSize(LargeButtonWidth, height);
    return button;
}

// The width the status column needs for its longest text in the grid's font: the catalogue's
// texts and an event outside it, as shown in the current language.
int LongestStatusWidth(const QTableView &grid)
{
    const QFontMetrics metrics(grid.font());
    int widest = metrics.horizontalAdvance(ShownEventText(UnknownEventText(u'W', u'9', u'9')));
    for (const EventKind &kind : EventCatalogue())
        widest = qMax(widest, metrics.horizontalAdvance(kind.text));
    // The cell's margins on either side, and the grid line.
    return widest +
           2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1) + 8;
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
    grid_ = new TableGrid(table_, model_, dgView, this);
    for (const char *field : {"CardNO", "SStatus", "APB"})
        model_.setColumnBackground(QString::fromLatin1(field), GridColours::MoneyGreen);
    for (const char *field : {"DataTime", "iChannel"})
        model_.setColumnBackground(QString::fromLatin1(field), GridColours::SkyBlue);
    model_.setColumnText(QStringLiteral("SStatus"), ShownEventText);
    dgView->setSortingEnabled(false);
    dgView->setShowGrid(true);
    dgView->verticalHeader()->setDefaultSectionSize(20);
    dgView->verticalHeader()->setMinimumWidth(18);
    dgView->installEventFilter(this);
    middle->addWidget(dgView, 1);
    buildRightPanel();
    middle->addWidget(pnl);
    root->addLayout(middle, 1);

    const TableGrid::StatusPanels status = TableGrid::StatusBar(this);
    sbMode = status.mode;
    sbMessage = status.message;
    root->addWidget(status.bar);

    grid_->connectButtons({btnDelete, btnFirst, btnPrev, btnNext, btnLast});
    connect(btnExit, &QToolButton::clicked, this, &TfrmIOdata::reject);
    connect(btnDeviceRead, &QPushButton::clicked, this, &TfrmIOdata::btnDeviceReadClick);
    connect(btnOutput, &QPushButton::clicked, this, &TfrmIOdata::btnOutputClick);
    connect(btnExportPdf, &QPushButton::clicked, this, &TfrmIOdata::btnExportPdfClick);
    connect(btnExportCsv, &QPushButton::clicked, this, &TfrmIOdata::btnExportCsvClick);
    connect(btnSaveFile, &QPushButton::clicked, this, &TfrmIOdata::btnSaveFileClick);
    connect(btnSaveArchive, &QPushButton::clicked, this, &TfrmIOdata::btnSaveArchiveClick);
    connect(btnReadFile, &QPushButton::clicked, this, &TfrmIOdata::btnReadFileClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmIOdata::btnClearClick);
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
    const TableGrid::Buttons buttons = TableGrid::NavigationButtons(tbEdit);
    btnDelete = buttons.btnDelete;
    btnFirst = buttons.btnFirst;
    btnPrev = buttons.btnPrev;
    btnNext = buttons.btnNext;
    btnLast = buttons.btnLast;
    btnExit =
        TableGrid::ToolButton(tbEdit, QStringLiteral("btnExit"), QStyle::SP_DialogCloseButton);
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
    btnSaveArchive = new QPushButton(pnl);
    btnSaveArchive->setObjectName(QStringLiteral("btnSaveArchive"));
    btnSaveArchive->setFixedWidth(LargeButtonWidth);
    // Only where the settings name an archive.
    btnSaveArchive->setVisible(!settings_.LoadSetting(ArchiveAddress::Setting).trimmed().isEmpty());
    auto *exports = new QHBoxLayout;
    exports->setSpacing(2);
    exports->addWidget(btnExportPdf);
    exports->addWidget(btnExportCsv);
    right->addWidget(btnDeviceRead);
    right->addWidget(btnOutput);
    right->addLayout(exports);
    right->addWidget(btnSaveFile);
    right->addWidget(btnSaveArchive);
    right->addWidget(btnReadFile);
    right->addWidget(btnClear);
    right->addStretch();
}

void TfrmIOdata::applyLanguage()
{
    setWindowTitle(text(TextRow::RecordDataHint));
    const QList<QPair<QToolButton *, TextRow>> tools{
        {btnDelete, TextRow::Delete}, {btnFirst, TextRow::First}, {btnPrev, TextRow::Prev},
        {btnNext, TextRow::Next},     {btnLast, TextRow::Last},   {btnExit, TextRow::ExitButton}};
    for (const auto &[button, row] : tools)
        SetIconButtonText(button, text(row));
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
    btnSaveArchive->setText(tr("Save to archive"));
    btnSaveArchive->setToolTip(tr("Store the table's events in the event archive"));
    // The grid's titles change only with the language; redoing them resets the grid. The
    // widths follow the language and the font (set after the window is built).
    const bool languageChanged = gridLanguage_ != language_.EffectiveIndex();
    if (languageChanged) {
        gridLanguage_ = language_.EffectiveIndex();
        model_.setColumns({QStringLiteral("IONO"), QStringLiteral("CardNO"),
                           QStringLiteral("DataTime"), QStringLiteral("SStatus"),
                           QStringLiteral("iChannel"), QStringLiteral("APB")},
                          {text(TextRow::RecordNoColumn), text(TextRow::CardNoColumn),
                           text(TextRow::DateTimeColumn), text(TextRow::StatusColumn),
                           text(TextRow::ChannelColumn), QStringLiteral("APB")});
    }
    if (languageChanged || gridFont_ != dgView->font()) {
        gridFont_ = dgView->font();
        // The widths of the design, wider where a language's title needs it; the status
        // column as wide as its longest text. The grid is at least as wide as its columns, so
        // the window grows rather than cut a text; the status column takes any room left.
        const int widths[] = {70, 70, 158, LongestStatusWidth(*dgView), 50, 50};
        QHeaderView *header = dgView->horizontalHeader();
        int columns = 0;
        for (int c = 0; c < 6; ++c) {
            const int width = qMax(widths[c], header->sectionSizeHint(c));
            dgView->setColumnWidth(c, width);
            columns += width;
        }
        header->setSectionResizeMode(StatusColumn, QHeaderView::Stretch);
        // The row numbers' header grows with the rows read: room for five digits.
        const int rowNumbers = qMax(
            dgView->verticalHeader()->sizeHint().width(),
            dgView->verticalHeader()->fontMetrics().horizontalAdvance(QStringLiteral("99999")) +
                12);
        dgView->setMinimumWidth(columns + rowNumbers + 2 * dgView->frameWidth() +
                                dgView->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    }
    btnDeviceRead->setEnabled(comm_.DeviceConnected() && journal_ && journal_->isOpen());
    // An event is stored as an event of the controller that is connected.
    btnSaveArchive->setEnabled(!controller_.serialNumber.isEmpty());
}
