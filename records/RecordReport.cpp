#include "RecordReport.h"

#include "Language.h"
#include "LanguageFont.h"
#include "PdfTextLayer.h"
#include "RecordsLog.h"
#include "TableStore.h"
#include "WholeFileCommit.h"

#include <QBuffer>
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
constexpr double PageWidth = 210.0 - 2 * Margin;
constexpr double FooterHeight = 5.0;
// Where the bands end and the page number begins.
constexpr double BandsBottom = 297.0 - 2 * Margin - FooterHeight;
constexpr double PageHeaderHeight = 7.1;
constexpr double HeadingLineHeight = 5.0;
constexpr int HeadingLines = 3;
constexpr double HeadingHeight = HeadingLines * HeadingLineHeight + 1.5;
constexpr double TitleHeight = 6.9;
constexpr double DetailHeight = 5.6;
constexpr double SummaryHeight = 7.4;
constexpr double NoMatchHeight = 7.4;
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
constexpr Column WholeLine{0.5, 188.6};
constexpr double TextHeight = 4.5;

const QString DataTimeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

// Walks the bands down the pages: where each page starts, the heading of the first page, the
// column headings, each detail line and the summary go, or the line that says no event
// matches. Drawing and counting pages use the same walk.
struct BandWalk
{
    std::function<void(int page)> page;
    std::function<void(double top)> heading;
    std::function<void(double top)> columnTitles;
    std::function<void(double top, int row)> detail;
    std::function<void(double top)> summary;
    std::function<void(double top)> noMatch;
};

void Call(const std::function<void(double)> &band, double top)
{
    if (band)
        band(top);
}

int Walk(int rows, const BandWalk &walk)
{
    int page = 0;
    double y = 0;
    auto newPage = [&] {
        ++page;
        if (walk.page)
            walk.page(page);
        y = PageHeaderHeight;
    };
    auto titles = [&] {
        Call(walk.columnTitles, y);
        y += TitleHeight;
    };
    // A band that does not fit goes to a new page, under the column headings again.
    auto room = [&](double height) {
        if (y + height > BandsBottom + Slack) {
            newPage();
            titles();
        }
    };
    newPage();
    Call(walk.heading, y);
    y += HeadingHeight;
    if (rows == 0) {
        Call(walk.noMatch, y);
        return page;
    }
    titles();
    for (int row = 0; row < rows; ++row) {
        room(DetailHeight);
        if (walk.detail)
            walk.detail(y, row);
        y += DetailHeight;
    }
    room(SummaryHeight);
    Call(walk.summary, y);
    return page;
}

QString CodeRangesText(const QList<QPair<int, int>> &ranges)
{
    QStringList parts;
    for (const auto &[low, high] : ranges)
        parts << (low == high ? QString::number(low) : QStringLiteral("%1-%2").arg(low).arg(high));
    return parts.join(QStringLiteral(", "));
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
    QRectF rect(const Column &column, double top) const
    {
        return rect(column.left, top, column.width, TextHeight);
    }
    QLineF rule(double left, double top, double width) const
    {
        return {left * dotsPerMmX, top * dotsPerMmY, (left + width) * dotsPerMmX, top * dotsPerMmY};
    }
};

RecordReport::RecordReport(const TableStore &table, int languageIndex, ReportHeader header)
    : table_(table), languageIndex_(languageIndex), header_(std::move(header))
{
    const Language language(languageIndex);
    auto text = [&language](TextRow row) { return language.TableText(row); };
    captions_ = {text(TextRow::ReportTitle),      text(TextRow::ReportRecordNo),
                 text(TextRow::ReportCardNo),     text(TextRow::ReportDateTime),
                 text(TextRow::ReportCount),      text(TextRow::ReportControllerSerial),
                 text(TextRow::ReportNotKnown),   text(TextRow::ReportPeriod),
                 text(TextRow::ReportFilter),     text(TextRow::ReportAllEvents),
                 text(TextRow::ReportEventCodes), text(TextRow::ReportPageOf),
                 text(TextRow::ReportNoMatch)};
}

int RecordReport::pageCount() const
{
    return Walk(table_.RecordCount(), {});
}

int RecordReport::rowsOnFirstPage()
{
    return int((BandsBottom - PageHeaderHeight - HeadingHeight - TitleHeight + Slack) /
               DetailHeight);
}

int RecordReport::rowsOnLaterPages()
{
    return int((BandsBottom - PageHeaderHeight - TitleHeight + Slack) / DetailHeight);
}

QString RecordReport::periodText() const
{
    // Open ends are named by the events: the earliest and the latest of them.
    std::optional<QDateTime> first = header_.filter.since;
    std::optional<QDateTime> last = header_.filter.until;
    const int field = table_.FieldIndex(QStringLiteral("DataTime"));
    for (int row = 0; field >= 0 && row < table_.RecordCount(); ++row) {
        const std::optional<QDateTime> at = RecordFilter::parseDataTime(table_.Value(row, field));
        if (!at)
            continue;
        if (!header_.filter.since && (!first || *at < *first))
            first = at;
        if (!header_.filter.until && (!last || *at > *last))
            last = at;
    }
    const QString open = QStringLiteral("…");
    return (first ? first->toString(DataTimeFormat) : open) + QStringLiteral(" - ") +
           (last ? last->toString(DataTimeFormat) : open);
}

QString RecordReport::filterText() const
{
    QStringList parts;
    if (header_.filter.card)
        parts << captions_.cardNo + QLatin1Char(' ') + *header_.filter.card;
    if (!header_.filter.codeRanges.isEmpty())
        parts << captions_.eventCodes + QLatin1Char(' ') +
                     CodeRangesText(header_.filter.codeRanges);
    return parts.isEmpty() ? captions_.allEvents : parts.join(QStringLiteral("; "));
}

QStringList RecordReport::headingLines() const
{
    const QString serialNumber = header_.serialNumber.trimmed();
    return {captions_.controller + QLatin1Char(' ') +
                (serialNumber.isEmpty() ? captions_.notKnown : serialNumber),
            captions_.period + QLatin1Char(' ') + periodText(),
            captions_.filter + QLatin1Char(' ') + filterText()};
}

bool RecordReport::render(QPagedPaintDevice &device) const
{
    QString drawn;
    return draw(device, drawn);
}

bool RecordReport::draw(QPagedPaintDevice &device, QString &drawn) const
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
    auto text = [&](const QRectF &rect, int flags, const QString &value) {
        painter.drawText(rect, flags, value);
        drawn += value;
    };

    const int rows = table_.RecordCount();
    const int pages = pageCount();
    const QList<QPair<Column, QString>> columns{{RecordNoColumn, QStringLiteral("IONO")},
                                                {CardNoColumn, QStringLiteral("CardNO")},
                                                {DateTimeColumn, QStringLiteral("DataTime")}};
    BandWalk walk;
    walk.page = [&](int page) {
        if (page > 1)
            device.newPage();
        text(layout.rect(WholeLine.left, 1.3, WholeLine.width, TextHeight), Qt::AlignCenter,
             captions_.title);
        painter.drawLine(layout.rule(0, PageHeaderHeight, PageWidth));
        text(layout.rect(WholeLine.left, BandsBottom + 0.5, WholeLine.width, TextHeight),
             Qt::AlignCenter, captions_.pageOf.arg(page).arg(pages));
    };
    walk.heading = [&](double top) {
        const QStringList lines = headingLines();
        for (int i = 0; i < lines.size(); ++i)
            text(layout.rect(WholeLine, top + 1.0 + i * HeadingLineHeight),
                 Qt::AlignLeft | Qt::AlignVCenter, lines.at(i));
    };
    walk.columnTitles = [&](double top) {
        const QList<QPair<Column, QString>> titles{{RecordNoColumn, captions_.recordNo},
                                                   {CardNoColumn, captions_.cardNo},
                                                   {DateTimeColumn, captions_.dateTime}};
        for (const auto &[column, title] : titles) {
            text(layout.rect(column, top + 1.3), Qt::AlignCenter, title);
            painter.drawLine(layout.rule(column.left, top + 1.3 + TextHeight, column.width));
        }
    };
    walk.detail = [&](double top, int row) {
        for (const auto &[column, name] : columns) {
            const int field = table_.FieldIndex(name);
            text(layout.rect(column, top + 0.5), Qt::AlignCenter,
                 field < 0 ? QString() : table_.Value(row, field));
        }
    };
    walk.summary = [&](double top) {
        painter.drawLine(layout.rule(0, top, PageWidth));
        text(layout.rect(RecordNoColumn, top + 1.6), Qt::AlignCenter, captions_.count);
        text(layout.rect(CountValueColumn, top + 1.6), Qt::AlignLeft | Qt::AlignVCenter,
             QString::number(rows));
    };
    walk.noMatch = [&](double top) {
        painter.drawLine(layout.rule(0, top, PageWidth));
        text(layout.rect(WholeLine, top + 1.6), Qt::AlignCenter, captions_.noMatch);
    };
    Walk(rows, walk);
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
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QString drawn;
    bool painted = false;
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(captions_.title);
        writer.setCreator(QStringLiteral("KT480NTV5 Utility"));
        painted = draw(writer, drawn);
    }
    if (!painted)
        return failure(tr("cannot draw the report"));
    const QByteArray bytes = NameDrawnCharacters(pdf.data(), ReportFont(languageIndex_), drawn);
    // A report that fails half-way never replaces a good file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(tr("cannot write the file: %1").arg(file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(tr("cannot write the file: %1").arg(reason));
    }
    if (!CommitWhole(file))
        return failure(tr("cannot complete the file: %1").arg(file.errorString()));
    return TableResult::Success();
}
