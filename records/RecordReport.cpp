#include "RecordReport.h"

#include "Language.h"
#include "LanguageFont.h"
#include "RecordsLog.h"
#include "TableStore.h"
#include "WholeFileCommit.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <functional>

namespace {

// Millimetres, as the report is laid out.
constexpr double Margin = 10.0;
constexpr double BodyHeight = 297.0 - 2 * Margin;
constexpr double PageHeaderHeight = 7.1;
constexpr double TitleHeight = 6.9;
constexpr double DetailHeight = 5.6;
constexpr double SummaryHeight = 7.4;
constexpr double Slack = 1e-6;
constexpr double RuleWidth = 0.2;

struct Column
{
    double left;
    double width;
};
constexpr Column RecordNoColumn{18.5, 39.7};
constexpr Column CardNoColumn{72.8, 39.7};
constexpr Column DateTimeColumn{127.0, 55.6};
constexpr Column CountValueColumn{58.7, 39.7};
constexpr double TextHeight = 4.5;

// Walks the bands down the pages: where each page starts, each detail line and the summary
// go. Drawing and counting pages use the same walk.
struct BandWalk
{
    std::function<void(int page, double top)> pageHeader;
    std::function<void(double top)> title;
    std::function<void(double top, int row)> detail;
    std::function<void(double top)> summary;
};

int Walk(int rows, const BandWalk &walk)
{
    int page = 1;
    double y = 0;
    auto newPage = [&](bool first) {
        if (!first)
            ++page;
        if (walk.pageHeader)
            walk.pageHeader(page, 0);
        y = PageHeaderHeight;
    };
    auto room = [&](double height) {
        if (y + height > BodyHeight + Slack)
            newPage(false);
    };
    newPage(true);
    if (walk.title)
        walk.title(y);
    y += TitleHeight;
    for (int row = 0; row < rows; ++row) {
        room(DetailHeight);
        if (walk.detail)
            walk.detail(y, row);
        y += DetailHeight;
    }
    room(SummaryHeight);
    if (walk.summary)
        walk.summary(y);
    return page;
}

} // namespace

struct RecordReport::Layout
{
    double dotsPerMmX;
    double dotsPerMmY;

    QRectF rect(double left, double top, double width, double height) const
    {
        return {left * dotsPerMmX, top * dotsPerMmY, width * dotsPerMmX, height * dotsPerMmY};
    }
    QLineF rule(double left, double top, double width) const
    {
        return {left * dotsPerMmX, top * dotsPerMmY, (left + width) * dotsPerMmX, top * dotsPerMmY};
    }
};

RecordReport::RecordReport(const TableStore &table, int languageIndex)
    : table_(table), languageIndex_(languageIndex)
{
    const Language language(languageIndex);
    captions_ = {
        language.TableText(TextRow::ReportTitle), language.TableText(TextRow::ReportRecordNo),
        language.TableText(TextRow::ReportCardNo), language.TableText(TextRow::ReportDateTime),
        language.TableText(TextRow::ReportCount)};
}

int RecordReport::pageCount() const
{
    return Walk(table_.RecordCount(), {});
}

int RecordReport::rowsOnFirstPage()
{
    return int((BodyHeight - PageHeaderHeight - TitleHeight + Slack) / DetailHeight);
}

int RecordReport::rowsOnLaterPages()
{
    return int((BodyHeight - PageHeaderHeight + Slack) / DetailHeight);
}

void RecordReport::drawPageHeader(QPainter &painter, const Layout &layout, double top) const
{
    const double width = 210.0 - 2 * Margin;
    painter.drawText(layout.rect(0.5, top + 1.3, 188.6, TextHeight), Qt::AlignCenter,
                     captions_.title);
    painter.drawLine(layout.rule(0, top + PageHeaderHeight, width));
}

void RecordReport::drawTitle(QPainter &painter, const Layout &layout, double top) const
{
    const QList<QPair<Column, QString>> headings{{RecordNoColumn, captions_.recordNo},
                                                 {CardNoColumn, captions_.cardNo},
                                                 {DateTimeColumn, captions_.dateTime}};
    for (const auto &[column, text] : headings) {
        painter.drawText(layout.rect(column.left, top + 1.3, column.width, TextHeight),
                         Qt::AlignCenter, text);
        painter.drawLine(layout.rule(column.left, top + 1.3 + TextHeight, column.width));
    }
}

void RecordReport::drawDetail(QPainter &painter, const Layout &layout, double top, int row) const
{
    const QList<QPair<Column, QString>> fields{{RecordNoColumn, QStringLiteral("IONO")},
                                               {CardNoColumn, QStringLiteral("CardNO")},
                                               {DateTimeColumn, QStringLiteral("DataTime")}};
    for (const auto &[column, name] : fields) {
        const int field = table_.FieldIndex(name);
        const QString text = field < 0 ? QString() : table_.Value(row, field);
        painter.drawText(layout.rect(column.left, top + 0.5, column.width, TextHeight),
                         Qt::AlignCenter, text);
    }
}

void RecordReport::drawSummary(QPainter &painter, const Layout &layout, double top) const
{
    painter.drawLine(layout.rule(0, top, 210.0 - 2 * Margin));
    painter.drawText(layout.rect(RecordNoColumn.left, top + 1.6, RecordNoColumn.width, TextHeight),
                     Qt::AlignCenter, captions_.count);
    painter.drawText(
        layout.rect(CountValueColumn.left, top + 1.6, CountValueColumn.width, TextHeight),
        Qt::AlignLeft | Qt::AlignVCenter, QString::number(table_.RecordCount()));
}

bool RecordReport::render(QPagedPaintDevice &device) const
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(Margin, Margin, Margin, Margin),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const Layout layout{device.logicalDpiX() / 25.4, device.logicalDpiY() / 25.4};
    painter.setFont(ReportFont(languageIndex_));
    QPen pen(Qt::black);
    pen.setWidthF(RuleWidth * layout.dotsPerMmY);
    painter.setPen(pen);
    BandWalk walk;
    walk.pageHeader = [&](int page, double top) {
        if (page > 1)
            device.newPage();
        drawPageHeader(painter, layout, top);
    };
    walk.title = [&](double top) { drawTitle(painter, layout, top); };
    walk.detail = [&](double top, int row) { drawDetail(painter, layout, top, row); };
    walk.summary = [&](double top) { drawSummary(painter, layout, top); };
    Walk(table_.RecordCount(), walk);
    return painter.end();
}

TableResult RecordReport::writePdf(const QString &path) const
{
    auto failure = [&path](const QString &reason) {
        const TableResult failed = TableResult::Failure(QStringLiteral("%1: %2").arg(path, reason));
        qCWarning(lcRecords).noquote() << failed.error();
        return failed;
    };
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return failure(tr("cannot create the folder"));
    // A report that fails half-way never replaces a good file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(tr("cannot write the file: %1").arg(file.errorString()));
    bool drawn = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(captions_.title);
        writer.setCreator(QStringLiteral("KT480NTV5 Utility"));
        drawn = render(writer);
    }
    if (!drawn) {
        file.cancelWriting();
        return failure(tr("cannot draw the report"));
    }
    if (!CommitWhole(file))
        return failure(tr("cannot complete the file: %1").arg(file.errorString()));
    return TableResult::Success();
}
