// The record window as a person meets it: opened from the main window's "Record data"
// button, the events read, the progress window's Cancel clicked, saved and loaded through
// the prompts, the unsaved events kept when the window closes without saving, and the events
// stored in the archive.
#include "ArchiveAddress.h"
#include "DialogPrompt.h"
#include "EventArchive.h"
#include "EventLogMix.h"
#include "RecordFile.h"
#include "RecordJournal.h"
#include "RecordTable.h"
#include "ScriptedPrompt.h"
#include "TableCsv.h"
#include "TfrmIOdata.h"
#include "TfrmProcess.h"
#include "WindowLauncher.h"
#include "WindowRig.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

// The text of a PDF file as copying or searching it gives it.
QString PdfText(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    tool.waitForFinished();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

ControllerData WithEvents(const QList<QByteArray> &events)
{
    ControllerData data = ControllerData::factory(1);
    data.events = events;
    return data;
}

// The main window connected over TCP, with the record button and a scripted prompt.
struct Site
{
    explicit Site(const QList<QByteArray> &events) : rig({WithEvents(events)})
    {
        qunsetenv("KT480_JOURNAL_DIR");
        StartOptions options;
        options.expert = true;
        rig.open(options);
        new WindowLauncher(rig.window());
        auto scripted = std::make_unique<ScriptedPrompt>();
        prompt = scripted.get();
        rig.window().context().prompt = std::move(scripted);
    }

    // Clicks "Record data" and runs `inside` once the record window stands idle (its count
    // query and its journal question done); closes it afterwards, by force if a question
    // kept it open or a check failed.
    void withRecordWindow(const std::function<void(TfrmIOdata &)> &inside)
    {
        bool ran = false;
        int idleTicks = 0;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, &rig.window(), [&] {
            auto *window = qobject_cast<TfrmIOdata *>(QApplication::activeModalWidget());
            const bool idle = window && window->isVisible() && !rig.comm().CommBusy();
            idleTicks = idle ? idleTicks + 1 : 0;
            if (idleTicks < 2)
                return;
            poll.stop();
            inside(*window);
            ran = true;
            if (window->isVisible())
                QTest::mouseClick(window->btnExit, Qt::LeftButton);
            if (window->isVisible())
                window->done(QDialog::Rejected);
        });
        poll.start();
        QTimer::singleShot(60000, &rig.window(), [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        QTest::mouseClick(Control<QPushButton>(rig.window(), "btnData"), Qt::LeftButton);
        QVERIFY(ran);
    }

    QString path(const QString &name) const
    {
        return QFileInfo(rig.settingsPath()).dir().filePath(name);
    }

    WindowRig rig;
    ScriptedPrompt *prompt = nullptr;
};

} // namespace

class TestRecordWindow : public QObject
{
    Q_OBJECT

private slots:
    void readSaveAndLoadFromTheMainWindow()
    {
        const QList<QByteArray> events = MixedEventLog(60);
        Site site(events);
        QVERIFY(site.rig.connectTcp());
        QVERIFY(Control<QPushButton>(site.rig.window(), "btnData")->isVisible());
        const QString file = site.path(QStringLiteral("site/events"));
        site.withRecordWindow([&](TfrmIOdata &w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("Record data"));
            QVERIFY(w.isModal());
            QVERIFY(w.edtEndIONo->isVisible());
            QCOMPARE(w.edtEndIONo->text(), QStringLiteral("60"));
            QCOMPARE(w.lblEndIONo->text(), QStringLiteral("    IODataCount:"));
            QVERIFY(w.btnDeviceRead->isEnabled());
            QCOMPARE(w.statusText(0), QStringLiteral("View mode"));

            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
            QCOMPARE(w.table().RecordCount(), 60);
            QCOMPARE(site.prompt->messages.size(), 1);
            QVERIFY(
                site.prompt->messages.first().startsWith(QStringLiteral("OK!\n60 events read.")));
            QVERIFY(site.prompt->messages.first().contains(QStringLiteral("read to its end")));
            QVERIFY(site.prompt->messages.first().contains(QStringLiteral("not yet saved")));
            QCOMPARE(site.prompt->captions.first(), QStringLiteral("System Message"));
            QVERIFY(!w.edtEndIONo->isVisible());
            QCOMPARE(w.unsavedEvents(), 60);
            QVERIFY(w.pnl->isEnabled() && w.tbEdit->isEnabled());
            QCOMPARE(w.dgView->model()->rowCount(), 60);
            QCOMPARE(w.dgView->currentIndex().row(), 0);

            // Saved under a name without extension: ".xml" is added, the journal let go.
            site.prompt->fileName = file;
            QTest::mouseClick(w.btnSaveFile, Qt::LeftButton);
            QVERIFY2(site.prompt->messages.size() == 1,
                     qPrintable(site.prompt->messages.join('|')));
            QCOMPARE(w.unsavedEvents(), 0);
            QVERIFY(w.statusText(1).contains(QStringLiteral("events.xml")));
        });
        QVERIFY(site.prompt->questions.isEmpty());
        QCOMPARE(site.rig.storedSetting(RecordFile::SaveSetting).toString(),
                 file + QStringLiteral(".xml"));
        TableStore saved;
        QVERIFY(RecordFile::Load(saved, file + QStringLiteral(".xml")));
        QCOMPARE(saved.RecordCount(), 60);
        QVERIFY(site.rig.sim().controller().snapshot().events.isEmpty());

        // Opened again: empty, and loading the file brings the rows back; saving over it asks.
        site.withRecordWindow([&](TfrmIOdata &w) {
            QCOMPARE(w.table().RecordCount(), 0);
            QVERIFY(!w.edtEndIONo->isVisible());
            site.prompt->fileName = file + QStringLiteral(".xml");
            QTest::mouseClick(w.btnReadFile, Qt::LeftButton);
            QCOMPARE(site.prompt->dialogs.last(),
                     QStringLiteral("open ") + RecordFile::DefaultPath());
            QCOMPARE(w.table().RecordCount(), 60);
            QCOMPARE(RecordTable::RowAt(w.table(), 59).IONO, QStringLiteral("0000060"));
            // Which controller a file's events came from is not known: the report says so.
            site.prompt->fileName = site.path(QStringLiteral("from-file"));
            QTest::mouseClick(w.btnExportPdf, Qt::LeftButton);
            const QString fromFile = PdfText(site.path(QStringLiteral("from-file.pdf")));
            QVERIFY2(fromFile.contains(QStringLiteral("Controller S/N: not known")),
                     qPrintable(fromFile));
            site.prompt->fileName = file + QStringLiteral(".xml");
            site.prompt->answers = {false};
            QTest::mouseClick(w.btnSaveFile, Qt::LeftButton);
            QCOMPARE(site.prompt->dialogs.last(),
                     QStringLiteral("save ") + file + QStringLiteral(".xml"));
            QCOMPARE(site.prompt->questions.last(),
                     QStringLiteral("The File is Exist!! Cover it??"));
            site.prompt->answers = {true};
            w.btnDeleteClick();
            QTest::mouseClick(w.btnSaveFile, Qt::LeftButton);
            QCOMPARE(site.prompt->questions.size(), 2);
        });
        QVERIFY(RecordFile::Load(saved, file + QStringLiteral(".xml")));
        QCOMPARE(saved.RecordCount(), 59);
        QCOMPARE(site.rig.storedSetting(RecordFile::ReadSetting).toString(),
                 file + QStringLiteral(".xml"));
    }

    void cancelOnTheProgressWindow()
    {
        const QList<QByteArray> events = MixedEventLog(300);
        Site site(events);
        QVERIFY(site.rig.connectTcp());
        TfrmProcess &progress = site.rig.window().processWindow();
        site.withRecordWindow([&](TfrmIOdata &w) {
            bool clicked = false;
            connect(&w.reader(), &RecordReader::status, &w, [&] {
                if (w.table().RecordCount() == 20 && !clicked) {
                    QVERIFY(progress.isVisible());
                    QVERIFY(progress.btnCancel->isVisible());
                    QCOMPARE(progress.windowTitle(), QStringLiteral("Record data"));
                    QVERIFY(!w.pnl->isEnabled());
                    clicked = true;
                    QTest::mouseClick(progress.btnCancel, Qt::LeftButton);
                }
            });
            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
            QVERIFY(clicked);
            QCOMPARE(w.table().RecordCount(), 21);
            QVERIFY(!progress.isVisible());
            QVERIFY(site.prompt->messages.last().contains(QStringLiteral("cancelled by the user")));
            QVERIFY(site.prompt->messages.last().contains(QStringLiteral("279 events are still")));
            QCOMPARE(w.edtEndIONo->text(), QStringLiteral("279"));
            QCOMPARE(site.rig.sim().controller().snapshot().events, events.mid(21));

            // Closed without saving: nothing asked, the events stay in the journal.
            QTest::mouseClick(w.btnExit, Qt::LeftButton);
            QVERIFY(!w.isVisible());
            QVERIFY(site.prompt->questions.isEmpty());
        });
        QVERIFY(site.rig.comm().DeviceConnected());

        // The window was closed without saving: the next opening offers the 21 events.
        site.prompt->answers = {true};
        site.withRecordWindow([&](TfrmIOdata &w) {
            QTRY_COMPARE(w.table().RecordCount(), 21);
            QVERIFY(site.prompt->questions.last().contains(QStringLiteral("12345678")));
            QVERIFY(site.prompt->questions.last().contains(QStringLiteral("21 events")));
            QCOMPARE(w.unsavedEvents(), 21);
            // Reading on numbers after them.
            w.edtEndIONo->setText(QStringLiteral("4"));
            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
            QCOMPARE(w.table().RecordCount(), 25);
            QCOMPARE(RecordTable::RowAt(w.table(), 24).IONO, QStringLiteral("0000025"));
            QCOMPARE(w.unsavedEvents(), 25);
            // Given up in a question that says how many go.
            site.prompt->answers = {true};
            QTest::mouseClick(w.btnClear, Qt::LeftButton);
            QVERIFY(site.prompt->questions.last().contains(QStringLiteral("25 events")));
            QCOMPARE(w.table().RecordCount(), 0);
            QCOMPARE(w.unsavedEvents(), 0);
        });
    }

    // The count is asked when the window opens; a slow controller makes that take seconds, and
    // a person who presses Escape meanwhile must not end in a modal loop with no window.
    void escapeWhileTheCountIsAskedLeavesNoInvisibleWindow()
    {
        Site site(MixedEventLog(5));
        QVERIFY(site.rig.connectTcp());
        FaultSettings faults;
        faults.silentCodes.insert("ID");
        site.rig.sim().setFaults(faults);
        // Escape once while the query runs, and again once it has been given up.
        QPointer<TfrmIOdata> window;
        bool pressedDuringQuery = false;
        bool stayedForTheQuery = false;
        QTimer person;
        person.setInterval(10);
        QObject::connect(&person, &QTimer::timeout, &site.rig.window(), [&] {
            if (!window)
                window = VisibleWindow<TfrmIOdata>();
            if (!window)
                return;
            const bool busy = site.rig.comm().CommBusy();
            if (!pressedDuringQuery && busy) {
                pressedDuringQuery = true;
                QTest::keyClick(window, Qt::Key_Escape);
            } else if (pressedDuringQuery && !busy && !stayedForTheQuery && window->isVisible()) {
                stayedForTheQuery = true;
                QCOMPARE(window->edtEndIONo->isVisible(), false);
                QTest::keyClick(window, Qt::Key_Escape);
            }
        });
        person.start();
        bool stuck = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, &site.rig.window(), [&] {
            stuck = true;
            if (window)
                window->done(QDialog::Rejected);
        });
        watchdog.start(20000);
        QTest::mouseClick(Control<QPushButton>(site.rig.window(), "btnData"), Qt::LeftButton);
        QVERIFY2(!stuck, "the program was left in a modal loop without a window");
        QVERIFY(pressedDuringQuery);
        QVERIFY2(stayedForTheQuery, "the window stays until the count query has ended");
        QVERIFY(!VisibleWindow<TfrmIOdata>());
    }

    // A person who meets the question about events an earlier read left, and presses Escape
    // (or closes the box), has not chosen to lose them.
    void escapeOnTheJournalQuestionKeepsTheEvents()
    {
        Site site(MixedEventLog(10));
        QVERIFY(site.rig.connectTcp());
        site.withRecordWindow([&](TfrmIOdata &w) {
            w.edtEndIONo->setText(QStringLiteral("5"));
            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
            QCOMPARE(w.unsavedEvents(), 5);
        });
        // The message boxes themselves, answered with Escape.
        AppContext &context = site.rig.window().context();
        context.prompt = std::make_unique<DialogPrompt>(context.progress);
        site.prompt = nullptr;
        QStringList asked;
        QTimer escape;
        escape.setInterval(20);
        connect(&escape, &QTimer::timeout, &site.rig.window(), [&asked] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                asked << box->text();
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        escape.start();
        site.withRecordWindow([&](TfrmIOdata &w) {
            // The questions come once the window is up; a slow machine shows it first.
            QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 2, 20000);
            QVERIFY(asked.first().contains(QStringLiteral("5 events")));
            QTRY_COMPARE(w.table().RecordCount(), 5);
            QCOMPARE(w.unsavedEvents(), 5);
        });
        escape.stop();
        QCOMPARE(asked.size(), 2);

        // Declined and the loss confirmed: they go.
        auto scripted = std::make_unique<ScriptedPrompt>();
        scripted->answers = {false, true};
        site.prompt = scripted.get();
        context.prompt = std::move(scripted);
        site.withRecordWindow([&](TfrmIOdata &w) {
            QCOMPARE(site.prompt->questions.size(), 2);
            QVERIFY(site.prompt->questions.last().contains(QStringLiteral("5 events")));
            QCOMPARE(w.table().RecordCount(), 0);
            QCOMPARE(w.unsavedEvents(), 0);
        });
        const QString journal = RecordJournal::PathFor(
            RecordJournal::Folder(context.settings.filePath()), QStringLiteral("12345678"));
        QVERIFY(RecordJournal(journal).pending().isEmpty());
    }

    // A journal line that cannot be read is named when the window opens, and stays in the
    // journal for someone to look at.
    void aDamagedJournalLineIsNamed()
    {
        Site site(MixedEventLog(3));
        QVERIFY(site.rig.connectTcp());
        const QString path = RecordJournal::PathFor(
            RecordJournal::Folder(site.rig.window().context().settings.filePath()),
            QStringLiteral("12345678"));
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile journal(path);
        QVERIFY(journal.open(QIODevice::WriteOnly));
        const QByteArray damaged = "{\"pointer\":\"0000001\",\"row\":7}\n";
        journal.write(damaged);
        journal.close();
        site.withRecordWindow([&](TfrmIOdata &w) {
            QTRY_COMPARE(site.prompt->messages.size(), 1);
            QVERIFY2(site.prompt->messages.first().contains(path) &&
                         site.prompt->messages.first().contains(
                             QStringLiteral("cannot be read as an event (line 1)")),
                     qPrintable(site.prompt->messages.first()));
            QCOMPARE(w.table().RecordCount(), 0);
            QVERIFY(site.prompt->questions.isEmpty());
        });
        QVERIFY(journal.open(QIODevice::ReadOnly));
        QCOMPARE(journal.readAll(), damaged);
    }

    void fileErrorsAreNamed()
    {
        Site site(MixedEventLog(3));
        QVERIFY(site.rig.connectTcp());
        const QString broken = site.path(QStringLiteral("broken.xml"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<DATAPACKET");
        file.close();
        site.withRecordWindow([&](TfrmIOdata &w) {
            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
            QCOMPARE(w.table().RecordCount(), 3);
            for (const QString &bad : {broken, site.path(QStringLiteral("missing.xml"))}) {
                site.prompt->answers = {true};
                site.prompt->fileName = bad;
                QTest::mouseClick(w.btnReadFile, Qt::LeftButton);
                QVERIFY(site.prompt->messages.last().startsWith(QStringLiteral("Error!")));
                QVERIFY(site.prompt->messages.last().contains(bad));
                // The rows stay, and so do the unsaved events.
                QCOMPARE(w.table().RecordCount(), 3);
                QCOMPARE(w.unsavedEvents(), 3);
            }
            site.prompt->fileName = QStringLiteral("/proc/no/KTIOData.xml");
            QTest::mouseClick(w.btnSaveFile, Qt::LeftButton);
            QVERIFY(site.prompt->messages.last().contains(QStringLiteral("/proc/no/KTIOData.xml")));
            QCOMPARE(w.unsavedEvents(), 3);
        });
    }

    void automaticClockReadLeavesTheReadRunning()
    {
        const QList<QByteArray> events = MixedEventLog(40);
        Site site(events);
        QVERIFY(site.rig.connectTcp());
        // Every tick comes due, and each reply takes a while: ticks fall inside the read.
        site.rig.now = QDateTime(QDate(2008, 9, 22), QTime(14, 5, 9));
        Control<QTimer>(site.rig.window(), "tmrClock")->setInterval(50);
        FaultSettings slow;
        slow.lateMs = 15;
        site.rig.sim().setFaults(slow);
        int ticks = 0;
        site.withRecordWindow([&](TfrmIOdata &w) {
            connect(Control<QTimer>(site.rig.window(), "tmrClock"), &QTimer::timeout, &w,
                    [&] { ++ticks; });
            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
            QCOMPARE(w.lastRead()->end, ReadOutcome::End::EndOfLog);
            QCOMPARE(w.table().RecordCount(), 40);
            site.prompt->fileName = site.path(QStringLiteral("clock.xml"));
            QTest::mouseClick(w.btnSaveFile, Qt::LeftButton);
        });
        QVERIFY2(ticks > 5, "the clock read came due during the read");
        QVERIFY(site.rig.comm().DeviceConnected());
        QVERIFY(site.rig.comm().TcpConnected());
    }

    void gridAndNavigation()
    {
        Site site(MixedEventLog(30));
        // Not connected: no read, no count.
        site.withRecordWindow([&](TfrmIOdata &w) {
            QVERIFY(!w.btnDeviceRead->isEnabled());
            QVERIFY(!w.edtEndIONo->isVisible());
            QTest::keyClick(w.dgView, Qt::Key_Delete);
            w.btnDeleteClick();
            QCOMPARE(w.table().RecordCount(), 0);
        });
        QVERIFY(site.rig.connectTcp());
        site.withRecordWindow([&](TfrmIOdata &w) {
            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
            QCOMPARE(w.table().RecordCount(), 30);
            const QAbstractItemModel *model = w.dgView->model();
            QCOMPARE(model->columnCount(), 6);
            const QStringList titles{QStringLiteral("Record no."), QStringLiteral("Card no."),
                                     QStringLiteral("Date/Time"),  QStringLiteral("Status"),
                                     QStringLiteral("Channel"),    QStringLiteral("APB")};
            const int widths[] = {70, 70, 158, 150, 50, 50};
            for (int c = 0; c < 6; ++c) {
                QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), titles[c]);
                QVERIFY(w.dgView->columnWidth(c) >= (c == 3 ? 140 : widths[c]));
            }
            QCOMPARE(model->index(0, 1).data(Qt::BackgroundRole).value<QColor>(),
                     QColor(192, 220, 192));
            QCOMPARE(model->index(0, 2).data(Qt::BackgroundRole).value<QColor>(),
                     QColor(166, 202, 240));
            QVERIFY(!model->index(0, 0).data(Qt::BackgroundRole).isValid());

            QTest::mouseClick(w.btnLast, Qt::LeftButton);
            QCOMPARE(w.table().RecNo(), 30);
            QTest::mouseClick(w.btnPrev, Qt::LeftButton);
            QCOMPARE(w.table().RecNo(), 29);
            QWheelEvent down(QPointF(20, 20), w.dgView->viewport()->mapToGlobal(QPointF(20, 20)),
                             QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                             Qt::NoScrollPhase, false);
            QApplication::sendEvent(w.dgView->viewport(), &down);
            QCOMPARE(w.table().RecNo(), 30);
            QTest::mouseClick(w.btnFirst, Qt::LeftButton);
            QTest::mouseClick(w.btnNext, Qt::LeftButton);
            QCOMPARE(w.table().RecNo(), 2);
            QCOMPARE(w.dgView->currentIndex().row(), 1);
            const QString second = RecordTable::RowAt(w.table(), 2).DataTime;
            QTest::keyClick(w.dgView, Qt::Key_Delete);
            QCOMPARE(w.table().RecordCount(), 29);
            QCOMPARE(RecordTable::RowAt(w.table(), 1).DataTime, second);
            // A title click does not sort.
            QTest::mouseClick(w.dgView->horizontalHeader()->viewport(), Qt::LeftButton, {},
                              QPoint(100, 5));
            QCOMPARE(RecordTable::RowAt(w.table(), 0).IONO, QStringLiteral("0000001"));
        });
    }

    void previewAndExports()
    {
        Site site(MixedEventLog(60));
        QVERIFY(site.rig.connectTcp());
        site.withRecordWindow([&](TfrmIOdata &w) {
            // Nothing to show: no preview at all.
            QTest::mouseClick(w.btnOutput, Qt::LeftButton);
            QCOMPARE(QApplication::activeModalWidget(), &w);
            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);

            // The preview opens modally over the window, shows the report's pages and closes.
            int pages = 0;
            QTimer::singleShot(0, &w, [&] {
                QTRY_VERIFY(qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget()));
                auto *preview =
                    qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
                QVERIFY(!w.pnl->isEnabled());
                if (auto *view = preview->findChild<QPrintPreviewWidget *>())
                    pages = view->pageCount();
                const QString folder = qEnvironmentVariable("KT480_SCREENSHOT_DIR");
                if (!folder.isEmpty())
                    preview->grab().save(
                        QDir(folder).filePath(QStringLiteral("records-preview.png")));
                preview->reject();
            });
            QTest::mouseClick(w.btnOutput, Qt::LeftButton);
            QCOMPARE(pages, 2);
            QVERIFY(w.pnl->isEnabled());

            site.prompt->fileName = site.path(QStringLiteral("report"));
            QTest::mouseClick(w.btnExportPdf, Qt::LeftButton);
            // The report names the controller the events were read from.
            const QString report = PdfText(site.path(QStringLiteral("report.pdf")));
            QVERIFY2(report.contains(QStringLiteral("Controller S/N: 12345678")),
                     qPrintable(report));
            site.prompt->fileName = site.path(QStringLiteral("events.csv"));
            QTest::mouseClick(w.btnExportCsv, Qt::LeftButton);
            TableStore csv;
            QVERIFY(ReadCsvFile(site.path(QStringLiteral("events.csv")), csv));
            QCOMPARE(csv.Content().rows, w.table().Content().rows);
            // An existing export is replaced only on Yes.
            const QDateTime before =
                QFileInfo(site.path(QStringLiteral("events.csv"))).lastModified();
            site.prompt->answers = {false};
            QTest::mouseClick(w.btnExportCsv, Qt::LeftButton);
            QCOMPARE(site.prompt->questions.last(),
                     QStringLiteral("The File is Exist!! Cover it??"));
            QCOMPARE(QFileInfo(site.path(QStringLiteral("events.csv"))).lastModified(), before);
            QVERIFY(site.prompt->messages.size() == 1);
        });
    }

    // "Save to archive", shown where the settings name an archive: the table's events go in
    // once however often it is pressed, and the journal lets them go only once the archive
    // has taken them. An archive that cannot take them is named, and they stay journalled.
    void saveToArchive()
    {
        Site site(MixedEventLog(30));
        QVERIFY(site.rig.connectTcp());
        site.withRecordWindow([&](TfrmIOdata &w) { QVERIFY(!w.btnSaveArchive->isVisible()); });
        const QString db = site.path(QStringLiteral("events.db"));
        QFile notADatabase(db);
        QVERIFY(notADatabase.open(QIODevice::WriteOnly));
        notADatabase.write("name,transport\n");
        notADatabase.close();
        site.rig.window().context().settings.SaveSetting(ArchiveAddress::Setting, db);
        site.withRecordWindow([&](TfrmIOdata &w) {
            QVERIFY(w.btnSaveArchive->isVisible());
            QVERIFY(w.btnSaveArchive->isEnabled());
            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
            QCOMPARE(w.unsavedEvents(), 30);
            QTest::mouseClick(w.btnSaveArchive, Qt::LeftButton);
            QVERIFY2(site.prompt->messages.last().startsWith(QStringLiteral("Error!\n") + db) &&
                         site.prompt->messages.last().contains(QStringLiteral("not a database")),
                     qPrintable(site.prompt->messages.last()));
            QCOMPARE(w.unsavedEvents(), 30);
            QVERIFY(w.pnl->isEnabled());

            QVERIFY(QFile::remove(db));
            const qsizetype messages = site.prompt->messages.size();
            QTest::mouseClick(w.btnSaveArchive, Qt::LeftButton);
            QCOMPARE(site.prompt->messages.size(), messages);
            QCOMPARE(w.unsavedEvents(), 0);
            QCOMPARE(w.statusText(1),
                     QStringLiteral("30 events added to the archive, 0 there already."));
            QTest::mouseClick(w.btnSaveArchive, Qt::LeftButton);
            QCOMPARE(w.statusText(1),
                     QStringLiteral("0 events added to the archive, 30 there already."));

            // A file does not say whose events it holds: asked first, and No stores nothing.
            site.prompt->fileName = site.path(QStringLiteral("events.xml"));
            QTest::mouseClick(w.btnSaveFile, Qt::LeftButton);
            QTest::mouseClick(w.btnReadFile, Qt::LeftButton);
            site.prompt->answers = {false};
            QTest::mouseClick(w.btnSaveArchive, Qt::LeftButton);
            QVERIFY(site.prompt->questions.last().contains(QStringLiteral("controller 12345678")));
            QCOMPARE(w.statusText(1), QString());
        });
        QString error;
        EventArchive archive(*ArchiveAddress::parse(db, error));
        QVERIFY(archive.open(EventArchive::Use::Read));
        QCOMPARE(archive.eventCount(), 30);
    }

    // The record file chosen in the real save dialog exists already: one question, the one
    // that names it ("The File is Exist!! Cover it??"), not the dialog's own as well.
    void replacingTheRecordFileIsAskedOnce()
    {
        Site site(MixedEventLog(10));
        QVERIFY(site.rig.connectTcp());
        const QString file = site.path(QStringLiteral("events.xml"));
        QFile earlier(file);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
        earlier.close();
        AppContext &context = site.rig.window().context();
        context.prompt = std::make_unique<DialogPrompt>(context.progress);
        site.prompt = nullptr;
        QStringList boxes;
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, &site.rig.window(), [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                if (!name || !dialog->isVisible())
                    return;
                name->setText(file);
                QTest::keyClick(name, Qt::Key_Return);
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes << box->text();
                QAbstractButton *yes = box->button(QMessageBox::Yes);
                QTest::mouseClick(yes ? yes : box->button(QMessageBox::Ok), Qt::LeftButton);
            }
        });
        answer.start();
        site.withRecordWindow([&](TfrmIOdata &w) {
            QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
            QCOMPARE(w.table().RecordCount(), 10);
            boxes.clear();
            QTest::mouseClick(w.btnSaveFile, Qt::LeftButton);
            QCOMPARE(w.unsavedEvents(), 0);
        });
        answer.stop();
        QCOMPARE(boxes, QStringList{QStringLiteral("The File is Exist!! Cover it??")});
        TableStore saved;
        QVERIFY(RecordFile::Load(saved, file));
        QCOMPARE(saved.RecordCount(), 10);
    }

    void threeLanguages()
    {
        Site site(MixedEventLog(40));
        QVERIFY(site.rig.connectTcp());
        site.rig.window().context().settings.SaveSetting(ArchiveAddress::Setting,
                                                         site.path(QStringLiteral("events.db")));
        // KT480_SCREENSHOT_DIR keeps the pictures (docs/records-*.png).
        const QString folder = qEnvironmentVariable("KT480_SCREENSHOT_DIR");
        const QStringList names{QStringLiteral("en"), QStringLiteral("zh-tw"),
                                QStringLiteral("zh-cn")};
        // Switched as a person switches it, so that the texts beyond the language table
        // follow too.
        const char *buttons[] = {"btnEng", "btnBIG5", "btnGB"};
        const QStringList exportPdf{QStringLiteral("Export PDF"), QStringLiteral("匯出 PDF"),
                                    QStringLiteral("导出 PDF")};
        const QStringList saveToArchive{QStringLiteral("Save to archive"),
                                        QStringLiteral("存入資料庫"), QStringLiteral("存入数据库")};
        for (int language = 0; language < 3; ++language) {
            ClickOnScreen(Control<QPushButton>(site.rig.window(), buttons[language]));
            QCOMPARE(site.rig.window().context().language.LanguageIndex(), language);
            // From the second opening on, the events the first read left unsaved are taken.
            site.prompt->answers = {true};
            site.withRecordWindow([&](TfrmIOdata &w) {
                const Language lang(language);
                QCOMPARE(w.windowTitle(), lang.TableText(TextRow::RecordDataHint));
                QCOMPARE(w.btnDeviceRead->text(), lang.TableText(TextRow::ReadFromDevice));
                QCOMPARE(w.btnOutput->text(), lang.TableText(TextRow::PrintPreview));
                QCOMPARE(w.btnExportPdf->text(), exportPdf[language]);
                QCOMPARE(w.btnSaveArchive->text(), saveToArchive[language]);
                // A hint shows no accelerator mark: "Exit", "離開(E)", "退出(E)".
                QCOMPARE(w.btnExit->toolTip(),
                         lang.TableText(TextRow::ExitButton).remove(QLatin1Char('&')));
                QVERIFY(!w.btnExit->toolTip().contains(QLatin1Char('&')));
                QCOMPARE(w.dgView->model()->headerData(5, Qt::Horizontal).toString(),
                         QStringLiteral("APB"));
                if (language == 0) {
                    w.edtEndIONo->setText(QStringLiteral("25"));
                    QTest::mouseClick(w.btnDeviceRead, Qt::LeftButton);
                }
                QCOMPARE(w.table().RecordCount(), 25);
                // Events are English whatever the language of the window; only an event
                // outside the catalogue, worded by this program, is shown in the window's
                // language. Every status text fits its column, and every column the grid.
                QCOMPARE(RecordTable::RowAt(w.table(), 0).SStatus, QStringLiteral("In check OK"));
                const QAbstractItemModel *model = w.dgView->model();
                const QFontMetrics metrics(w.dgView->font());
                const int statusWidth = w.dgView->columnWidth(3);
                int unknown = 0;
                for (int row = 0; row < model->rowCount(); ++row) {
                    const QString stored = RecordTable::RowAt(w.table(), row).SStatus;
                    const QString shown = model->index(row, 3).data().toString();
                    QVERIFY2(
                        metrics.horizontalAdvance(shown) + 8 <= statusWidth,
                        qPrintable(QStringLiteral("%1 in %2 pixels").arg(shown).arg(statusWidth)));
                    if (!stored.startsWith(QStringLiteral("Unknown event ")))
                        continue;
                    ++unknown;
                    QCOMPARE(shown == stored, language == 0);
                }
                QVERIFY(unknown > 0);
                for (const char *longest : {"Work Overtime [Start]", "Unknown event W9 channel 9"})
                    QVERIFY2(metrics.horizontalAdvance(QLatin1String(longest)) + 8 <= statusWidth,
                             qPrintable(QStringLiteral("%1: %2 + 8 > %3")
                                            .arg(QLatin1String(longest))
                                            .arg(metrics.horizontalAdvance(QLatin1String(longest)))
                                            .arg(statusWidth)));
                int columns = 0;
                for (int c = 0; c < model->columnCount(); ++c)
                    columns += w.dgView->columnWidth(c);
                QVERIFY2(columns <= w.dgView->viewport()->width(),
                         qPrintable(QStringLiteral("%1 > %2").arg(columns).arg(
                             w.dgView->viewport()->width())));
                QTest::qWait(20);
                const QImage picture = w.grab().toImage();
                QVERIFY(!picture.isNull());
                if (!folder.isEmpty())
                    picture.save(QDir(folder).filePath(
                        QStringLiteral("records-%1.png").arg(names[language])));
            });
        }
    }
};

QTEST_MAIN(TestRecordWindow)
#include "test_record_window.moc"
