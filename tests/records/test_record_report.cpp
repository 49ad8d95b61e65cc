// The record file, the printed report as PDF in the three languages (rendered and read back
// with poppler), and the CSV form.
#include "Language.h"
#include "RecordFile.h"
#include "RecordFilter.h"
#include "RecordReport.h"
#include "RecordTable.h"
#include "TableCsv.h"
#include "TableStore.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

void Fill(TableStore &table, int rows)
{
    RecordTable::Recreate(table);
    for (int i = 0; i < rows; ++i) {
        const QString card =
            i % 3 == 0 ? QString() : QStringLiteral("%1").arg(i * 37, 7, 10, QLatin1Char('0'));
        RecordTable::Append(table, {{},
                                    card,
                                    QDateTime(QDate(2008, 9, 22), QTime(14, 5, 9))
                                        .addSecs(i * 61)
                                        .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                                    QStringLiteral("11"),
                                    QStringLiteral("In check OK"),
                                    QStringLiteral("1"),
                                    QStringLiteral("0")});
    }
}

QString Tool(const QString &name)
{
    const QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        qWarning("%s is missing: scripts/bootstrap.sh installs poppler-utils", qPrintable(name));
    return path;
}

QByteArray RunTool(const QString &tool, const QStringList &arguments)
{
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

QString PdfText(const QString &pdf)
{
    return QString::fromUtf8(RunTool(Tool(QStringLiteral("pdftotext")),
                                     {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
}

// Dark pixels in a band of the page image (0..1 of its height).
int Ink(const QImage &page, double from, double to)
{
    int dark = 0;
    for (int y = int(from * page.height()); y < int(to * page.height()); ++y)
        for (int x = 0; x < page.width(); ++x)
            dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
}

} // namespace

class TestRecordReport : public QObject
{
    Q_OBJECT

private slots:
    void pagination()
    {
        QCOMPARE(RecordReport::rowsOnFirstPage(), 43);
        QCOMPARE(RecordReport::rowsOnLaterPages(), 46);
        TableStore table;
        // The summary goes to a page of its own (under the column headings) when it does not
        // fit below the last row.
        for (const auto &[rows, pages] : QList<QPair<int, int>>{{0, 1},
                                                                {25, 1},
                                                                {41, 1},
                                                                {42, 2},
                                                                {43, 2},
                                                                {44, 2},
                                                                {43 + 44, 2},
                                                                {43 + 45, 3},
                                                                {43 + 46 + 10, 3}}) {
            Fill(table, rows);
            QCOMPARE(RecordReport(table, Language::English).pageCount(), pages);
        }
    }

    void pdfInEveryLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("font");
        QTest::newRow("en") << Language::English << QStringLiteral("");
        QTest::newRow("zh-TW") << Language::TraditionalChinese << QStringLiteral("NotoSansCJKtc");
        QTest::newRow("zh-CN") << Language::SimplifiedChinese << QStringLiteral("NotoSansCJKsc");
    }

    void pdfInEveryLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, font);
        const QString pdftoppm = Tool(QStringLiteral("pdftoppm"));
        const QString pdftotext = Tool(QStringLiteral("pdftotext"));
        const QString pdffonts = Tool(QStringLiteral("pdffonts"));
        QVERIFY(!pdftoppm.isEmpty() && !pdftotext.isEmpty() && !pdffonts.isEmpty());

        const int rows = RecordReport::rowsOnFirstPage() + RecordReport::rowsOnLaterPages() + 10;
        TableStore table;
        Fill(table, rows);
        const QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        const RecordReport report(table, language);
        QVERIFY(report.writePdf(pdf));
        QCOMPARE(report.pageCount(), 3);

        // Every text of the report is there, in the language's captions, with the count: the
        // title, the column headings and the page number on every page, the heading lines on
        // the first.
        const Language lang(language);
        const QString text = PdfText(pdf);
        QCOMPARE(text.count(lang.TableText(TextRow::ReportTitle)), 3);
        for (const TextRow row :
             {TextRow::ReportRecordNo, TextRow::ReportCardNo, TextRow::ReportDateTime})
            QCOMPARE(text.count(lang.TableText(row)), 3);
        for (int page = 1; page <= 3; ++page)
            QCOMPARE(text.count(lang.TableText(TextRow::ReportPageOf).arg(page).arg(3)), 1);
        for (const QString &line : report.headingLines())
            QVERIFY2(text.contains(line), qPrintable(line + QLatin1Char('\n') + text));
        QVERIFY(text.contains(
            QRegularExpression(QRegularExpression::escape(lang.TableText(TextRow::ReportCount)) +
                               QStringLiteral("\\s+") + QString::number(rows))));
        QVERIFY(text.contains(RecordTable::RowNumberText(rows)));
        QVERIFY(text.contains(QStringLiteral("2008/09/22 14:05:09")));
        QCOMPARE(text.count(QLatin1Char('\f')), 3);

        // The fonts travel inside the file: the report reads the same on any machine.
        const QString fonts = QString::fromUtf8(RunTool(pdffonts, {pdf}));
        for (const QString &line : fonts.split(QLatin1Char('\n')).mid(2)) {
            if (!line.trimmed().isEmpty())
                QVERIFY2(line.contains(QStringLiteral(" yes ")), qPrintable(fonts));
        }
        if (!font.isEmpty())
            QVERIFY2(fonts.contains(font), qPrintable(fonts));

        // Rendered: three A4 pages, a title on each, the last one ending with the summary.
        const QString prefix = dir.filePath(QStringLiteral("page"));
        RunTool(pdftoppm,
                {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"), pdf, prefix});
        const QStringList pages =
            QDir(dir.path()).entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name);
        QCOMPARE(pages.size(), 3);
        for (const QString &name : pages) {
            const QImage page(dir.filePath(name));
            QVERIFY(!page.isNull());
            QVERIFY(qAbs(double(page.height()) / page.width() - 297.0 / 210.0) < 0.01);
            QVERIFY(Ink(page, 0.03, 0.06) > 0);
        }
        const QImage last(dir.filePath(pages.last()));
        // 10 detail lines and the summary, then nothing down to the page number at the foot.
        QVERIFY(Ink(last, 0.10, 0.25) > 0);
        QCOMPARE(Ink(last, 0.5, 0.93), 0);
        QVERIFY(Ink(last, 0.94, 0.97) > 0);
    }

    // Copying or searching the text of a Chinese report gives the characters drawn: 門 and 日,
    // not the radicals ⾨ and ⽇ that Noto CJK draws with the same glyphs; 门, not ⻔.
    void chineseTextLayerNamesTheCharactersDrawn_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zh-TW") << Language::TraditionalChinese << QStringLiteral("開門記錄報表");
        QTest::newRow("zh-CN") << Language::SimplifiedChinese << QStringLiteral("开门记录报表");
    }

    void chineseTextLayerNamesTheCharactersDrawn()
    {
        QFETCH(int, language);
        QFETCH(QString, expected);
        TableStore table;
        Fill(table, 5);
        const QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        const RecordReport report(table, language);
        QVERIFY(report.writePdf(pdf));
        const QString text = PdfText(pdf);
        QVERIFY2(text.contains(expected), qPrintable(text));
        const Language lang(language);
        for (const TextRow row : {TextRow::ReportCardNo, TextRow::ReportDateTime,
                                  TextRow::ReportPeriod, TextRow::ReportFilter})
            QVERIFY2(text.contains(lang.TableText(row)), qPrintable(text));
        for (const QChar c : text)
            QVERIFY2(c.unicode() < 0x2E80 || c.unicode() > 0x2FDF,
                     qPrintable(QStringLiteral("U+%1 in: ").arg(c.unicode(), 4, 16) + text));
        // Still a PDF every reader takes.
        QCOMPARE(RunTool(Tool(QStringLiteral("pdftoppm")),
                         {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("20"), pdf,
                          dir.filePath(QStringLiteral("page"))}),
                 QByteArray());
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("page-1.png"))));
    }

    // The heading names the controller (or says it is not known), the period (open ends from
    // the events) and the filter, in the report's language.
    void headingNamesControllerPeriodAndFilter()
    {
        TableStore table;
        Fill(table, 3);
        RecordFilter filter;
        filter.since = RecordFilter::parseMoment(QStringLiteral("2008-09-01"), false);
        filter.card = QStringLiteral("1234");
        QVERIFY(filter.setCodes(QStringLiteral("40-50,11")));
        QCOMPARE(RecordReport(table, Language::English, {QStringLiteral("12345678"), filter})
                     .headingLines(),
                 (QStringList{QStringLiteral("Controller S/N: 12345678"),
                              QStringLiteral("Period: 2008/09/01 00:00:00 - 2008/09/22 14:07:11"),
                              QStringLiteral("Filter: Card no. 1234; event codes 40-50, 11")}));
        QCOMPARE(RecordReport(table, Language::English).headingLines(),
                 (QStringList{QStringLiteral("Controller S/N: not known"),
                              QStringLiteral("Period: 2008/09/22 14:05:09 - 2008/09/22 14:07:11"),
                              QStringLiteral("Filter: all events")}));
        QCOMPARE(RecordReport(table, Language::TraditionalChinese, {QStringLiteral("12345678"), {}})
                     .headingLines()
                     .constFirst(),
                 QStringLiteral("控制器序號: 12345678"));
        QCOMPARE(RecordReport(table, Language::SimplifiedChinese).headingLines().constLast(),
                 QStringLiteral("筛选条件: 全部事件"));
    }

    // A filter that matches nothing gives a page that says so under the heading that names
    // the filter, not an empty table.
    void aFilterThatMatchesNothingSaysSo()
    {
        TableStore none;
        RecordTable::Recreate(none);
        RecordFilter filter;
        filter.card = QStringLiteral("99999999");
        const RecordReport report(none, Language::English, {QString(), filter});
        QCOMPARE(report.pageCount(), 1);
        const QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("none.pdf"));
        QVERIFY(report.writePdf(pdf));
        const QString text = PdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("No event matches the filter.")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Filter: Card no. 99999999")));
        QVERIFY(text.contains(QStringLiteral("Page 1 of 1")));
        QVERIFY(!text.contains(QStringLiteral("Record no.")));
        QVERIFY(!text.contains(QStringLiteral("Count:")));
    }

    void countOfTwentyFive()
    {
        TableStore table;
        Fill(table, 25);
        const QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("25.pdf"));
        QVERIFY(RecordReport(table, Language::English).writePdf(pdf));
        const QString text = PdfText(pdf);
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Count:\\s+25\\b"))),
                 qPrintable(text));
        // A report that cannot be written says where.
        const TableResult failed =
            RecordReport(table, Language::English).writePdf(QStringLiteral("/proc/no/report.pdf"));
        QVERIFY(!failed);
        QVERIFY(failed.error().contains(QStringLiteral("/proc/no/report.pdf")));
    }

    void recordFileAndCsvRoundTrip()
    {
        TableStore table;
        Fill(table, 30);
        RecordTable::Append(table, {{},
                                    QStringLiteral("0000042"),
                                    QStringLiteral("2008/09/23 08:00:00"),
                                    QStringLiteral("13"),
                                    QStringLiteral("Go Out "),
                                    QStringLiteral("2"),
                                    QStringLiteral("1")});
        RecordTable::Append(table, {{},
                                    QString(),
                                    QStringLiteral("2008/09/23 08:00:01"),
                                    QStringLiteral("0"),
                                    QStringLiteral("Unknown event G1 channel 3"),
                                    QStringLiteral("3"),
                                    QStringLiteral("0")});
        const QTemporaryDir dir;
        const QString xml = dir.filePath(QStringLiteral("KTIOData.xml"));
        QVERIFY(RecordFile::Save(table, xml));
        TableStore loaded;
        QVERIFY(RecordFile::Load(loaded, xml));
        QCOMPARE(loaded.Fields(), table.Fields());
        QCOMPARE(loaded.Content().rows, table.Content().rows);
        QCOMPARE(loaded.Fields().at(4).size, 30);

        const QString csv = dir.filePath(QStringLiteral("events.csv"));
        QVERIFY(WriteCsvFile(table, csv));
        TableStore fromCsv;
        QVERIFY(ReadCsvFile(csv, fromCsv));
        QCOMPARE(fromCsv.Fields(), table.Fields());
        QCOMPARE(fromCsv.Content().rows, table.Content().rows);

        // A file that is not a record file, or not there, is named; the table keeps its rows.
        QFile broken(dir.filePath(QStringLiteral("broken.xml")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("<?xml version=\"1.0\"?><DATAPACKET><METADATA>");
        broken.close();
        for (const QString &bad :
             {broken.fileName(), dir.filePath(QStringLiteral("missing.xml"))}) {
            const TableResult result = RecordFile::Load(loaded, bad);
            QVERIFY(!result);
            QVERIFY(result.error().contains(bad));
            QCOMPARE(loaded.RecordCount(), 32);
        }
        TableStore cards;
        cards.AddField(QStringLiteral("DataNO"), 10);
        cards.CreateDataSet();
        cards.AppendRow({QStringLiteral("1")});
        const QString cardFile = dir.filePath(QStringLiteral("cards.xml"));
        QVERIFY(cards.SaveToFile(cardFile));
        const TableResult notRecords = RecordFile::Load(loaded, cardFile);
        QVERIFY(!notRecords);
        QVERIFY(notRecords.error().contains(QStringLiteral("not a record file")));
        // A save that cannot be made is named too, and the old file stays.
        const TableResult failed = RecordFile::Save(table, QStringLiteral("/proc/no/KTIOData.xml"));
        QVERIFY(!failed);
        QVERIFY(failed.error().contains(QStringLiteral("/proc/no/KTIOData.xml")));
    }
};

QTEST_MAIN(TestRecordReport)
#include "test_record_report.moc"
