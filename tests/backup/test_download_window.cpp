// "All Backup" / "All Restore" opened from the main window as the program opens them
// (modal), clicked through the window system, file dialogs and boxes answered by the rig.
#include "BoxAnswerer.h"
#include "DialogPrompt.h"
#include "ProgressState.h"
#include "TfrmDownload.h"
#include "TfrmProcess.h"
#include "WindowRig.h"

#include "CardFile.h"
#include "TableStore.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

namespace {

QString inProgramFolder(const char *file)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(file));
}

// A path of exactly `length` characters in the folder, ending in ".xml".
QString longPath(const QString &folder, int length)
{
    QString path = folder + QStringLiteral("/a-long-folder-name-");
    while (path.size() < length - 60)
        path += QStringLiteral("x");
    path += QStringLiteral("/and-a-file-name-");
    while (path.size() < length - 4)
        path += QStringLiteral("y");
    return path + QStringLiteral(".xml");
}

// A connected main window whose buttons open the windows; cards 1 to `cards` are read.
struct Site
{
    explicit Site(int cards = 20, const QMap<QString, QVariant> &settings = {})
        : rig({ControllerWithCards(cards)})
    {
        QMap<QString, QVariant> all = settings;
        all.insert(QStringLiteral("CardNoMin"), QStringLiteral("1"));
        all.insert(QStringLiteral("CardNoMax"), QString::number(qMax(cards, 1)));
        rig.writeSettings(all);
        main = &rig.open({}, true);
        connected = rig.connectTcp();
        prompt = &rig.scriptPrompts();
    }

    // Runs `steps` in the All Backup (or All Restore) window.
    bool inWindow(bool backup, const std::function<void(TfrmDownload &)> &steps)
    {
        QPushButton *button = Control<QPushButton>(*main, backup ? "btnBackup" : "btnRestore");
        return WhileModal<TfrmDownload>([&] { ClickOnScreen(button); }, steps);
    }

    WindowRig rig;
    TfrmKT480NT5 *main = nullptr;
    ScriptedPrompt *prompt = nullptr;
    bool connected = false;
};

} // namespace

class DownloadWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void proposesTheDefaultFilesWithoutSettings();
    void proposesTheStoredFiles();
    void backupNamesANewFileThroughTheSaveDialog();
    void restoreChoosesThroughTheOpenDialog();
    void restoreFindsTheFilesNamedWithoutExtension();
    void restoreFinishesABackupLeftHalfMoved();
    void longPathsAreKeptWhole();
    void noCloseWhileARunGoesOn();
    void cancelStopsTheCardHalf();
    void restoreCancelledAfterTheDeleteSaysTheCardsAreGone();
    void cancelledCardReadIsSavedOnlyOnYes_data();
    void cancelledCardReadIsSavedOnlyOnYes();
    void backupAsksBeforeReplacingEitherFile();
    void cancelInTheParameterHalfEndsTheRun();
    void writeChangesOnlyDeletesNoCardFirst_data();
    void writeChangesOnlyDeletesNoCardFirst();
};

void DownloadWindowTest::proposesTheDefaultFilesWithoutSettings()
{
    Site site;
    QVERIFY(site.connected);
    for (const bool backup : {true, false}) {
        QVERIFY(site.inWindow(backup, [&](TfrmDownload &window) {
            QCOMPARE(Control<QLineEdit>(window, "edPath01")->text(),
                     inProgramFolder("KT480NT-V5_Parameter.xml"));
            QCOMPARE(Control<QLineEdit>(window, "edPath02")->text(),
                     inProgramFolder("KT480NT-V5_CardData.xml"));
            QCOMPARE(Control<QPushButton>(window, "btnBackup")->isVisible(), backup);
            QCOMPARE(Control<QPushButton>(window, "btnRestore")->isVisible(), !backup);
            QCOMPARE(window.windowTitle(),
                     backup ? QStringLiteral("Parameter & CardData Backup To PC")
                            : QStringLiteral("Parameter & CardData Write To Device"));
            ClickOnScreen(Control<QPushButton>(window, "btnExit"));
            QVERIFY(window.isHidden());
        }));
    }
    QVERIFY(site.prompt->messages.isEmpty());
}

void DownloadWindowTest::proposesTheStoredFiles()
{
    Site site(20, {{QStringLiteral("KT480SFileName"), QStringLiteral(" /site/export/p.xml ")},
                   {QStringLiteral("CardDataSFileName"), QStringLiteral("/site/export/c.xml")},
                   {QStringLiteral("KT480RFileName"), QStringLiteral("/site/import/p.xml")},
                   {QStringLiteral("CardDataRFileName"), QStringLiteral("/site/import/c.xml")}});
    QVERIFY(site.connected);
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        QCOMPARE(Control<QLineEdit>(window, "edPath01")->text(),
                 QStringLiteral("/site/export/p.xml"));
        QCOMPARE(Control<QLineEdit>(window, "edPath02")->text(),
                 QStringLiteral("/site/export/c.xml"));
    }));
    QVERIFY(site.inWindow(false, [&](TfrmDownload &window) {
        QCOMPARE(Control<QLineEdit>(window, "edPath01")->text(),
                 QStringLiteral("/site/import/p.xml"));
        QCOMPARE(Control<QLineEdit>(window, "edPath02")->text(),
                 QStringLiteral("/site/import/c.xml"));
    }));
}

void DownloadWindowTest::backupNamesANewFileThroughTheSaveDialog()
{
    Site site(20);
    QVERIFY(site.connected);
    const QString parameters = site.rig.path(QStringLiteral("new site/parameters"));
    const QString cards = site.rig.path(QStringLiteral("new site/cards.xml"));
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        site.prompt->fileName = parameters;
        ClickOnScreen(Control<QToolButton>(window, "btnOpenFile01"));
        site.prompt->fileName = cards;
        ClickOnScreen(Control<QToolButton>(window, "btnOpenFile02"));
        QCOMPARE(
            site.prompt->dialogs,
            QStringList({QStringLiteral("save ") + inProgramFolder("KT480NT-V5_Parameter.xml"),
                         QStringLiteral("save ") + inProgramFolder("KT480NT-V5_CardData.xml")}));
        QCOMPARE(Control<QLineEdit>(window, "edPath01")->text(), parameters);
        QCOMPARE(Control<QLineEdit>(window, "edPath02")->text(), cards);
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
        QVERIFY2(window.isHidden(), "the window closes after the run");
    }));
    QCOMPARE(site.rig.storedSetting(QStringLiteral("KT480SFileName")).toString(), parameters);
    QCOMPARE(site.rig.storedSetting(QStringLiteral("CardDataSFileName")).toString(), cards);
    QCOMPARE(site.prompt->messages.size(), 1);
    QVERIFY2(site.prompt->messages.first().startsWith(QStringLiteral("OK!")),
             qPrintable(site.prompt->messages.first()));
    QVERIFY(QFileInfo::exists(parameters + QStringLiteral(".xml")));
    QVERIFY(QFileInfo::exists(cards));
}

void DownloadWindowTest::restoreChoosesThroughTheOpenDialog()
{
    Site site;
    QVERIFY(site.connected);
    const QString present = site.rig.path(QStringLiteral("present"));
    QFile file(present + QStringLiteral(".xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString absent = site.rig.path(QStringLiteral("absent"));
    QVERIFY(site.inWindow(false, [&](TfrmDownload &window) {
        site.prompt->fileName = present;
        ClickOnScreen(Control<QToolButton>(window, "btnOpenFile02"));
        site.prompt->fileName = absent;
        ClickOnScreen(Control<QToolButton>(window, "btnOpenFile01"));
        QCOMPARE(site.prompt->dialogs.size(), 2);
        QVERIFY(site.prompt->dialogs.at(0).startsWith(QStringLiteral("open ")));
        QVERIFY(site.prompt->dialogs.at(1).startsWith(QStringLiteral("open ")));
        // The boxes show the names as chosen; only a file that exists is remembered.
        QCOMPARE(Control<QLineEdit>(window, "edPath02")->text(), present);
        QCOMPARE(Control<QLineEdit>(window, "edPath01")->text(), absent);
    }));
    QCOMPARE(site.rig.storedSetting(QStringLiteral("CardDataRFileName")).toString(),
             present + QStringLiteral(".xml"));
    QVERIFY(!site.rig.storedSetting(QStringLiteral("KT480RFileName")).isValid());
}

void DownloadWindowTest::restoreFindsTheFilesNamedWithoutExtension()
{
    // A backup of a controller without cards gives a parameter file and an empty card file.
    Site site(0);
    QVERIFY(site.connected);
    const QString parameters = site.rig.path(QStringLiteral("site1"));
    const QString cards = site.rig.path(QStringLiteral("site1-cards"));
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(parameters);
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
    }));
    QVERIFY(QFileInfo::exists(parameters + QStringLiteral(".xml")));
    QVERIFY(QFileInfo::exists(cards + QStringLiteral(".xml")));

    // Chosen in the open dialog as typed, without ".xml".
    QVERIFY(site.inWindow(false, [&](TfrmDownload &window) {
        site.prompt->fileName = parameters;
        ClickOnScreen(Control<QToolButton>(window, "btnOpenFile01"));
        site.prompt->fileName = cards;
        ClickOnScreen(Control<QToolButton>(window, "btnOpenFile02"));
        QCOMPARE(Control<QLineEdit>(window, "edPath01")->text(), parameters);
        ClickOnScreen(Control<QPushButton>(window, "btnRestore"));
    }));
    QCOMPARE(site.prompt->messages.size(), 2);
    const QString report = site.prompt->messages.last();
    QVERIFY2(report.startsWith(QStringLiteral("OK!")), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("written from ") + parameters + QStringLiteral(".xml")),
             qPrintable(report));
    QVERIFY2(report.contains(cards + QStringLiteral(".xml holds no cards")), qPrintable(report));
}

// A backup that a kill left half moved into the folder (the new card file still in the
// folder's installing place, an unreadable one where it belongs) is put in place before the
// restore reads the files.
void DownloadWindowTest::restoreFinishesABackupLeftHalfMoved()
{
    Site site;
    QVERIFY(site.connected);
    const QDir folder(site.rig.path(QStringLiteral("lobby")));
    QVERIFY(QDir().mkpath(folder.path()));
    const QString parameters = folder.filePath(QStringLiteral("KT480NT-V5_Parameter.xml"));
    const QString cards = folder.filePath(QStringLiteral("KT480NT-V5_CardData.xml"));
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(parameters);
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
    }));
    const QString installing = folder.filePath(QStringLiteral(".backup.installing"));
    QVERIFY(QDir().mkpath(installing));
    QVERIFY(QFile::rename(cards, QDir(installing).filePath(QFileInfo(cards).fileName())));
    QFile cut(cards);
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.close();

    QVERIFY(site.inWindow(false, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(parameters);
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        ClickOnScreen(Control<QPushButton>(window, "btnRestore"));
    }));
    const QString report = site.prompt->messages.last();
    QVERIFY2(report.startsWith(QStringLiteral("OK!")), qPrintable(report));
    QVERIFY(!QFileInfo::exists(installing));
    QVERIFY(QFileInfo(cards).size() > 0);
}

void DownloadWindowTest::longPathsAreKeptWhole()
{
    QTemporaryDir folder;
    const QString parameters = longPath(folder.path(), 180);
    const QString cards = longPath(folder.path() + QStringLiteral("/cards"), 180);
    QCOMPARE(parameters.size(), 180);
    Site site(20, {{QStringLiteral("KT480SFileName"), parameters},
                   {QStringLiteral("CardDataSFileName"), cards}});
    QVERIFY(site.connected);
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        QCOMPARE(Control<QLineEdit>(window, "edPath01")->text(), parameters);
        QCOMPARE(Control<QLineEdit>(window, "edPath02")->text(), cards);
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
    }));
    QVERIFY(QFileInfo::exists(parameters));
    QVERIFY(QFileInfo::exists(cards));
    QCOMPARE(QDir(QFileInfo(parameters).absolutePath()).entryList(QDir::Files).size(), 1);
    QCOMPARE(site.rig.storedSetting(QStringLiteral("KT480SFileName")).toString(), parameters);
}

void DownloadWindowTest::noCloseWhileARunGoesOn()
{
    Site site(30);
    QVERIFY(site.connected);
    const QString cards = site.rig.path(QStringLiteral("cards.xml"));
    bool closeRefused = false;
    bool stillShown = false;
    bool shownAtReport = false;
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(site.rig.path(QStringLiteral("p.xml")));
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        site.prompt->onAsk = [&] { shownAtReport = window.isVisible(); };
        AtExchange(site.rig.comm(), 25, [&] {
            QTest::keyClick(&window, Qt::Key_Escape);
            closeRefused = !window.close();
            stillShown = window.isVisible();
        });
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
    }));
    QVERIFY2(closeRefused && stillShown, "the window closed in the middle of the run");
    QVERIFY2(shownAtReport, "the closing message came with no window");
    QVERIFY(QFileInfo::exists(cards));
    QCOMPARE(site.prompt->messages.size(), 1);
}

void DownloadWindowTest::cancelStopsTheCardHalf()
{
    Site site(2000);
    QVERIFY(site.connected);
    const QString cards = site.rig.path(QStringLiteral("cards.xml"));
    TfrmProcess &process = site.main->processWindow();
    int exchanges = 0;
    int atClick = -1;
    int parameterExchanges = -1;
    connect(&site.rig.comm(), &Comm::logLine, this, [&](const QString &line) {
        ++exchanges;
        if (parameterExchanges < 0 && line.contains(QStringLiteral("HB")))
            parameterExchanges = exchanges;
    });
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(site.rig.path(QStringLiteral("p.xml")));
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        connect(&site.rig.comm(), &Comm::logLine, &window, [&] {
            if (parameterExchanges < 0 || exchanges != parameterExchanges + 30)
                return;
            QTimer::singleShot(0, &window, [&] {
                atClick = exchanges;
                ClickOnScreen(process.btnCancel);
            });
        });
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
    }));
    QVERIFY2(atClick > 0, "the card half never reached the click");
    QVERIFY2(exchanges - atClick <= 2,
             qPrintable(QStringLiteral("%1 exchanges after Cancel").arg(exchanges - atClick)));
    QCOMPARE(site.prompt->messages.size(), 1);
    QVERIFY(site.prompt->messages.first().startsWith(QStringLiteral("Error!")));
}

// Cancel while the controller settles after deleting every card: nothing is written, and the
// closing message says that the controller's cards are gone, not only that the write stopped.
void DownloadWindowTest::restoreCancelledAfterTheDeleteSaysTheCardsAreGone()
{
    Site site(5);
    QVERIFY(site.connected);
    const QString parameters = site.rig.path(QStringLiteral("p.xml"));
    const QString cards = site.rig.path(QStringLiteral("c.xml"));
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(parameters);
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
    }));
    QVERIFY(site.prompt->messages.value(0).startsWith(QStringLiteral("OK!")));
    TfrmProcess &process = site.main->processWindow();
    bool cancelled = false;
    connect(&site.main->context().progress, &ProgressState::changed, this, [&] {
        const QString text = site.main->context().progress.text();
        if (cancelled || !text.startsWith(QStringLiteral("Deleting")) ||
            !text.endsWith(QStringLiteral("0000010")))
            return;
        cancelled = true;
        QTimer::singleShot(0, this, [&] { ClickOnScreen(process.btnCancel); });
    });
    QVERIFY(site.inWindow(false, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(parameters);
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        ClickOnScreen(Control<QPushButton>(window, "btnRestore"));
    }));
    QVERIFY(cancelled);
    QVERIFY(site.rig.sim().controller().snapshot().cards.isEmpty());
    QCOMPARE(site.prompt->messages.size(), 2);
    const QString report = site.prompt->messages.last();
    QVERIFY2(report.startsWith(QStringLiteral("Error!")), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("every card in the controller was deleted first; it "
                                            "now holds only the 0 cards written since")),
             qPrintable(report));
}

void DownloadWindowTest::cancelledCardReadIsSavedOnlyOnYes_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    // Enter alone is no yes: a list that a restore would take for the whole is not saved.
    QTest::newRow("Enter") << int(BoxAnswerer::Answer::Enter) << false;
    QTest::newRow("Yes") << int(BoxAnswerer::Answer::Yes) << true;
}

// Cancel in the middle of the card read: the real question says which numbers were read and
// which were not, and the closing message names the numbers the file holds.
void DownloadWindowTest::cancelledCardReadIsSavedOnlyOnYes()
{
    QFETCH(int, answer);
    QFETCH(bool, saved);
    Site site(300);
    QVERIFY(site.connected);
    AppContext &context = site.rig.context();
    context.prompt = std::make_unique<DialogPrompt>(context.progress);
    BoxAnswerer boxes{BoxAnswerer::Answer(answer)};
    const QString cards = site.rig.path(QStringLiteral("cards.xml"));
    TfrmProcess &process = site.main->processWindow();
    bool cancelled = false;
    connect(&context.progress, &ProgressState::changed, this, [&] {
        if (cancelled || !context.progress.text().contains(QStringLiteral(" 0000050 ")))
            return;
        cancelled = true;
        QTimer::singleShot(0, this, [&] { ClickOnScreen(process.btnCancel); });
    });
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(site.rig.path(QStringLiteral("p.xml")));
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
    }));
    QVERIFY(cancelled);
    QCOMPARE(boxes.asked.size(), 2);
    const QString question = boxes.asked[0];
    const QRegularExpressionMatch at =
        QRegularExpression(QStringLiteral("cancelled after card number (\\d+); card numbers "
                                          "(\\d+) to 300 were not read"))
            .match(question);
    QVERIFY2(at.hasMatch(), qPrintable(question));
    const int last = at.captured(1).toInt();
    QVERIFY2(last >= 50 && last < 60, qPrintable(question));
    QCOMPARE(at.captured(2).toInt(), last + 1);
    QVERIFY2(
        question.contains(QStringLiteral("%1 cards were found in the numbers 1 to %1").arg(last)),
        qPrintable(question));
    const QString report = boxes.asked[1];
    QVERIFY2(report.startsWith(QStringLiteral("Error!")), qPrintable(report));
    QCOMPARE(QFileInfo::exists(cards), saved);
    if (saved) {
        QVERIFY2(
            report.contains(QStringLiteral("Cards: %1 cards of numbers 1 to %1 saved to %2; the "
                                           "list is not complete.")
                                .arg(last)
                                .arg(cards)),
            qPrintable(report));
        TableStore file;
        QVERIFY(CardFile::Load(file, cards));
        QCOMPARE(file.RecordCount(), last);
    } else {
        QVERIFY2(report.contains(QStringLiteral("the incomplete card list was not saved; no card "
                                                "file was written")),
                 qPrintable(report));
    }
    QVERIFY2(!report.contains(QStringLiteral("to 300 saved")), qPrintable(report));
}

// Files that exist already are replaced only on a yes that names them; on No nothing runs.
void DownloadWindowTest::backupAsksBeforeReplacingEitherFile()
{
    Site site(5);
    QVERIFY(site.connected);
    const QString parameters = site.rig.path(QStringLiteral("p.xml"));
    const QString cards = site.rig.path(QStringLiteral("c.xml"));
    for (const QString &path : {parameters, cards}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier");
    }
    site.prompt->answers = {false, true};
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(parameters);
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
        QVERIFY(window.isVisible());
        QCOMPARE(site.prompt->questions.size(), 1);
        QVERIFY(site.prompt->questions[0].contains(parameters));
        QVERIFY(site.prompt->questions[0].contains(cards));
        QVERIFY(site.prompt->messages.isEmpty());
        for (const QString &path : {parameters, cards}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("earlier"));
        }
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
        QVERIFY(window.isHidden());
    }));
    QCOMPARE(site.prompt->questions.size(), 2);
    QCOMPARE(site.prompt->messages.size(), 1);
    QVERIFY2(site.prompt->messages[0].startsWith(QStringLiteral("OK!")),
             qPrintable(site.prompt->messages[0]));
    TableStore file;
    QVERIFY(CardFile::Load(file, cards));
    QCOMPARE(file.RecordCount(), 5);
}

// Cancel while the parameters are read: the run ends there; no card is read, no file written.
void DownloadWindowTest::cancelInTheParameterHalfEndsTheRun()
{
    Site site(20);
    QVERIFY(site.connected);
    const QString parameters = site.rig.path(QStringLiteral("p.xml"));
    const QString cards = site.rig.path(QStringLiteral("c.xml"));
    TfrmProcess &process = site.main->processWindow();
    QStringList sent;
    connect(&site.rig.comm(), &Comm::logLine, this, [&](const QString &line) { sent << line; });
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(parameters);
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        AtExchange(site.rig.comm(), 8, [&] {
            QVERIFY(process.btnCancel->isVisible());
            ClickOnScreen(process.btnCancel);
        });
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
    }));
    QVERIFY2(sent.size() <= 10, qPrintable(sent.join(QLatin1Char('\n'))));
    QVERIFY(sent.filter(QStringLiteral("HB")).isEmpty());
    QVERIFY(!QFileInfo::exists(parameters));
    QVERIFY(!QFileInfo::exists(cards));
    QCOMPARE(site.prompt->messages.size(), 1);
    const QString report = site.prompt->messages[0];
    QVERIFY2(report.startsWith(QStringLiteral("Error!")) &&
                 report.contains(QStringLiteral("cancelled")),
             qPrintable(report));
}

void DownloadWindowTest::writeChangesOnlyDeletesNoCardFirst_data()
{
    QTest::addColumn<QSet<int>>("garbled");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("counts");
    QTest::newRow("complete") << QSet<int>{} << false
                              << QStringLiteral("Written: 3, cleared: 0, unchanged: 2, "
                                                "unreadable: 0, failed: 0");
    QTest::newRow("a number kept wrongly")
        << QSet<int>{3} << false
        << QStringLiteral("Written: 2, cleared: 0, unchanged: 2, unreadable: 0, failed: 1");
    QTest::newRow("cancelled after the first number")
        << QSet<int>{} << true
        << QStringLiteral("Written: 1, cleared: 0, unchanged: 2, unreadable: 0, failed: 0");
}

// "Write changes only" restores the cards by a sync: the changed cards are written back, no
// "HK" goes out, and the report says no card was deleted first, with the counts of the card
// window's "Write changes only" however the sync ends.
void DownloadWindowTest::writeChangesOnlyDeletesNoCardFirst()
{
    QFETCH(QSet<int>, garbled);
    QFETCH(bool, cancel);
    QFETCH(QString, counts);
    Site site(5);
    QVERIFY(site.connected);
    const QString parameters = site.rig.path(QStringLiteral("p.xml"));
    const QString cards = site.rig.path(QStringLiteral("c.xml"));
    QVERIFY(site.inWindow(true, [&](TfrmDownload &window) {
        QVERIFY(!Control<QCheckBox>(window, "cbxWriteChangesOnly")->isVisible());
        Control<QLineEdit>(window, "edPath01")->setText(parameters);
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
    }));
    const QMap<int, QByteArray> backedUp = site.rig.sim().controller().snapshot().cards;
    site.rig.sim().controller().modify([&garbled](ControllerData &d) {
        for (const int number : {2, 3, 4})
            d.cards[number] = EncodedCardRecord("0000000000009999", 1, 0, "XXXX", 0);
        d.garbledCardNumbers = garbled;
        return true;
    });
    TfrmProcess &process = site.main->processWindow();
    QStringList codes;
    connect(&site.rig.comm(), &Comm::traffic, this, [&](Comm::Traffic t, const QByteArray &b) {
        if (t != Comm::Traffic::Sent)
            return;
        codes << QString::fromLatin1(b.mid(5, 2));
        if (cancel && codes.count(QStringLiteral("HA")) == 1 && codes.last() == "HA")
            QTimer::singleShot(0, &process, [&process] { ClickOnScreen(process.btnCancel); });
    });
    QVERIFY(site.inWindow(false, [&](TfrmDownload &window) {
        Control<QLineEdit>(window, "edPath01")->setText(parameters);
        Control<QLineEdit>(window, "edPath02")->setText(cards);
        ClickOnScreen(Control<QCheckBox>(window, "cbxWriteChangesOnly"));
        ClickOnScreen(Control<QPushButton>(window, "btnRestore"));
    }));
    const QString report = site.prompt->messages.last();
    const bool complete = garbled.isEmpty() && !cancel;
    QVERIFY2(report.startsWith(complete ? QStringLiteral("OK!") : QStringLiteral("Error!")),
             qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("no card was deleted first")), qPrintable(report));
    QVERIFY2(report.contains(counts), qPrintable(report));
    QVERIFY(!codes.contains(QStringLiteral("HK")));
    QVERIFY(codes.contains(QStringLiteral("HA")));
    if (complete)
        QCOMPARE(site.rig.sim().controller().snapshot().cards, backedUp);
}

QTEST_MAIN(DownloadWindowTest)
#include "test_download_window.moc"
