#pragma once

#include "ReportHeader.h"
#include "TableResult.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;
class TableStore;

// The printed record report: on A4 portrait with 10 mm margins, the title on every page; on
// the first page the controller, the period and the filter the report was made with (the
// header the caller gives); the column headings on every page above one detail line a row
// (record number, card number, date and time); a summary with the number of rows; and "page n
// of m" at the foot of every page. Without rows the first page says that no event matches the
// filter. Texts and font follow the report's language. The same report goes to the print
// preview, a printer and a PDF file.
class RecordReport
{
    Q_DECLARE_TR_FUNCTIONS(RecordReport)

public:
    struct Captions
    {
        QString title;
        QString recordNo;
        QString cardNo;
        QString dateTime;
        QString count;
        QString controller;
        QString notKnown;
        QString period;
        QString filter;
        QString allEvents;
        QString eventCodes;
        QString pageOf;
        QString noMatch;
    };

    // `table` holds the events the report shows, the filter already applied.
    RecordReport(const TableStore &table, int languageIndex, ReportHeader header = {});

    // Draws every page on the device; false when the device cannot be painted on.
    bool render(QPagedPaintDevice &device) const;
    // Writes the report to a PDF file (fonts embedded; copying and searching its text gives
    // the characters drawn).
    TableResult writePdf(const QString &path) const;

    const Captions &captions() const { return captions_; }
    // The heading lines of the first page: controller, period, filter.
    QStringList headingLines() const;
    // Pages the report takes.
    int pageCount() const;
    // Detail lines on the first page and on each page after it.
    static int rowsOnFirstPage();
    static int rowsOnLaterPages();

private:
    struct Layout;
    // Draws the pages; every text drawn is added to `drawn`.
    bool draw(QPagedPaintDevice &device, QString &drawn) const;
    QString periodText() const;
    QString filterText() const;

    const TableStore &table_;
    int languageIndex_;
    ReportHeader header_;
    Captions captions_;
};
