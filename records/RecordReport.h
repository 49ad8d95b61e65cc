#pragma once

#include "TableResult.h"

#include <QCoreApplication>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class TableStore;

// The printed record report: on A4 portrait with 10 mm margins, a page header with the title
// on every page, the column headings once, one detail line a row (record number, card number,
// date and time) and a summary with the number of rows. Texts and font follow the interface
// language. The same report goes to the print preview, a printer and a PDF file.
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
    };

    RecordReport(const TableStore &table, int languageIndex);

    // Draws every page on the device; false when the device cannot be painted on.
    bool render(QPagedPaintDevice &device) const;
    // Writes the report to a PDF file (fonts embedded).
    TableResult writePdf(const QString &path) const;

    const Captions &captions() const { return captions_; }
    // Pages the report takes.
    int pageCount() const;
    // Detail lines on the first page and on each page after it.
    static int rowsOnFirstPage();
    static int rowsOnLaterPages();

private:
    struct Layout;
    void drawPageHeader(QPainter &painter, const Layout &layout, double top) const;
    void drawTitle(QPainter &painter, const Layout &layout, double top) const;
    void drawDetail(QPainter &painter, const Layout &layout, double top, int row) const;
    void drawSummary(QPainter &painter, const Layout &layout, double top) const;

    const TableStore &table_;
    int languageIndex_;
    Captions captions_;
};
