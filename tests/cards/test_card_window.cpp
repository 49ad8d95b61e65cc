// The card window opened from the main window as the program opens it (modal), clicked
// through the window system, its prompts answered by the rig.
#include "BoxAnswerer.h"
#include "DialogPrompt.h"
#include "TfrmCardData.h"
#include "TfrmProcess.h"
#include "WindowRig.h"

#include "CardFile.h"
#include "CardTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

// A connected main window whose Card button opens the card window, with scripted prompts.
struct Site
{
    explicit Site(int cards = 0, const QMap<QString, QVariant> &settings = {}, bool expert = false)
        : rig({ControllerWithCards(cards)})
    {
        rig.writeSettings(settings);
        StartOptions options;
        options.expert = expert;
        main = &rig.open(options, true);
        connected = rig.connectTcp();
        prompt = &rig.scriptPrompts();
    }

    bool inWindow(const std::function<void(TfrmCardData &)> &steps)
    {
        QPushButton *button = Control<QPushButton>(*main, "btnCard");
        return WhileModal<TfrmCardData>([&] { ClickOnScreen(button); }, steps);
    }

    WindowRig rig;
    TfrmKT480NT5 *main = nullptr;
    ScriptedPrompt *prompt = nullptr;
    bool connected = false;
};

// Erases an edit with the keyboard, one key at a time, as a person does.
void EraseByKeys(QLineEdit *edit)
{
    // A click behind the last character puts the cursor there.
    ClickOnScreen(edit, QPoint(edit->width() - 4, edit->height() / 2));
    for (int keys = edit->text().size(); keys > 0; --keys)
        KeyOnScreen(edit, Qt::Key_Backspace);
}

// A card file of these rows (card number and card ID as written in the file, application 01,
// APB 0, no PIN); its path, or empty when it could not be saved.
QString writeCardFile(const QString &path, const QList<QPair<QString, QString>> &rows)
{
    TableStore table;
    CardTable::Recreate(table);
    for (const auto &[number, id] : rows)
        table.AppendRow({number, id, QStringLiteral("01"), QStringLiteral("0"),
                         QStringLiteral("XXXX"), QStringLiteral("0")});
    const TableResult saved = CardFile::Save(table, path);
    return saved ? path : QString();
}

// A card file of three cards, 3, 5 and 9.
QString writeCardFile(const QString &path)
{
    QList<QPair<QString, QString>> rows;
    for (const int n : {3, 5, 9})
        rows.append({QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0')),
                     QStringLiteral("00000000000000%1").arg(n, 2, 10, QLatin1Char('0'))});
    return writeCardFile(path, rows);
}

// The card a card file of writeCardFile holds for this card ID, as a controller keeps it.
QByteArray heldCard(const QString &id)
{
    return EncodedCardRecord(id.toLatin1(), 1, 0, "XXXX", 0);
}

QString cardId(int n)
{
    return QStringLiteral("%1").arg(n, 16, 10, QLatin1Char('0'));
}

QString cardNo(int n)
{
    return QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0'));
}

// The command codes sent over the link ("HA", "HB", ...) while it lives.
struct SentCodes
{
    explicit SentCodes(Comm &comm)
    {
        QObject::connect(&comm, &Comm::traffic, &context,
                         [this](Comm::Traffic t, const QByteArray &bytes) {
                             if (t == Comm::Traffic::Sent)
                                 codes << QString::fromLatin1(bytes.mid(5, 2));
                         });
    }
    QObject context;
    QStringList codes;
};

QStringList cardNumbers(TableStore &table)
{
    QStringList numbers;
    for (int row = 0; row < table.RecordCount(); ++row)
        numbers << CardTable::RowAt(table, row).DataNO;
    return numbers;
}

} // namespace

class CardWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void cancelStopsAReadRunningInTheModalWindow();
    void noCloseWhileAnOperationRuns();
    void rangeIsNormalisedAndStored();
    void editorAppliesThePinRule();
    void deleteAndMovesOnAnEmptyTableChangeNothing();
    void readsAndSavesCardFiles();
    void oneCardNumberTwiceIsAskedAboutBeforeWriting();
    void noWritableRowDeletesNothing();
    void reopeningShowsAnEmptyTable();
    void deleteAllCardsAsksFirstAndReports_data();
    void deleteAllCardsAsksFirstAndReports();
    void closedLinkDisablesTheControllerActions();
    void writeChangesOnlyWritesTheDifferences_data();
    void writeChangesOnlyWritesTheDifferences();
    void cancelLeavesEachNumberAsItWasOrAsTheListHasIt_data();
    void cancelLeavesEachNumberAsItWasOrAsTheListHasIt();
};

void CardWindowTest::cancelStopsAReadRunningInTheModalWindow()
{
    WindowRig rig({ControllerWithCards(3000)});
    rig.writeSettings({{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                       {QStringLiteral("CardNoMax"), QStringLiteral("3000")}});
    TfrmKT480NT5 &w = rig.open({}, true);
    QVERIFY(rig.connectTcp());
    ScriptedPrompt &prompt = rig.scriptPrompts();
    FaultSettings late;
    late.lateMs = 3;
    rig.sim().setFaults(late);
    TfrmProcess &process = w.processWindow();

    int exchanges = 0;
    int atClick = -1;
    connect(&rig.comm(), &Comm::logLine, this, [&] {
        if (++exchanges != 40)
            return;
        QTimer::singleShot(0, this, [&] {
            atClick = exchanges;
            QVERIFY(process.btnCancel->isVisible());
            ClickOnScreen(process.btnCancel);
        });
    });
    int rows = -1;
    QPushButton *btnCard = Control<QPushButton>(w, "btnCard");
    const bool shown =
        WhileModal<TfrmCardData>([&] { ClickOnScreen(btnCard); },
                                 [&](TfrmCardData &cards) {
                                     ClickOnScreen(Control<QPushButton>(cards, "btnBackup"));
                                     rows = cards.table().RecordCount();
                                 });
    QVERIFY(shown);
    QVERIFY2(atClick > 0, "the read never reached the click");
    QVERIFY2(exchanges - atClick <= 2,
             qPrintable(QStringLiteral("%1 exchanges after Cancel").arg(exchanges - atClick)));
    QVERIFY(rows >= 35 && rows <= 42);
    QVERIFY(process.isHidden());
    QCOMPARE(prompt.messages.size(), 1);
    QVERIFY(prompt.messages.first().contains(QStringLiteral("cancelled")));
}

void CardWindowTest::noCloseWhileAnOperationRuns()
{
    WindowRig rig({ControllerWithCards(60)});
    rig.writeSettings({{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                       {QStringLiteral("CardNoMax"), QStringLiteral("60")}});
    TfrmKT480NT5 &w = rig.open({}, true);
    QVERIFY(rig.connectTcp());
    ScriptedPrompt &prompt = rig.scriptPrompts();
    bool closeRefused = false;
    bool stillShown = false;
    bool closedWhenIdle = false;
    QPushButton *btnCard = Control<QPushButton>(w, "btnCard");
    QVERIFY(WhileModal<TfrmCardData>([&] { ClickOnScreen(btnCard); },
                                     [&](TfrmCardData &cards) {
                                         AtExchange(rig.comm(), 20, [&] {
                                             QTest::keyClick(&cards, Qt::Key_Escape);
                                             closeRefused = !cards.close();
                                             stillShown = cards.isVisible();
                                         });
                                         ClickOnScreen(Control<QPushButton>(cards, "btnBackup"));
                                         QCOMPARE(cards.table().RecordCount(), 60);
                                         QVERIFY(cards.isVisible());
                                         QTest::keyClick(&cards, Qt::Key_Escape);
                                         closedWhenIdle = cards.isHidden();
                                     }));
    QVERIFY2(closeRefused && stillShown, "the window closed in the middle of the read");
    QVERIFY(closedWhenIdle);
    QVERIFY(prompt.messages.isEmpty());
}

void CardWindowTest::rangeIsNormalisedAndStored()
{
    Site site;
    QVERIFY(site.connected);
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        QLineEdit *start = Control<QLineEdit>(cards, "edtStartCardNo");
        QLineEdit *end = Control<QLineEdit>(cards, "edtEndCardNo");
        QCOMPARE(start->text(), QStringLiteral("1"));
        QCOMPARE(end->text(), QStringLiteral("10500"));
        // An erased box stays empty while the person types a new number into it; leading
        // zeros go at once, and letters are refused.
        EraseByKeys(end);
        QCOMPARE(end->text(), QString());
        TypeOnScreen(end, QStringLiteral("30"));
        QCOMPARE(end->text(), QStringLiteral("30"));
        EraseByKeys(start);
        QCOMPARE(start->text(), QString());
        TypeOnScreen(start, QStringLiteral("05x"));
        QCOMPARE(start->text(), QStringLiteral("5"));
        // Left empty, a box gets its default back when the person moves on.
        EraseByKeys(end);
        ClickOnScreen(start);
        QCOMPARE(end->text(), QStringLiteral("10500"));
        // A leading digit deleted leaves no leading zero.
        ClickOnScreen(end);
        KeyOnScreen(end, Qt::Key_Home);
        KeyOnScreen(end, Qt::Key_Delete);
        QCOMPARE(end->text(), QStringLiteral("500"));
        TypeInto(end, QStringLiteral("10500"));
        ClickOnScreen(start);
        QCOMPARE(end->text(), QStringLiteral("10500"));
    }));
    QCOMPARE(site.rig.storedSetting(QStringLiteral("CardNoMin")).toString(), QStringLiteral("5"));
    QCOMPARE(site.rig.storedSetting(QStringLiteral("CardNoMax")).toString(),
             QStringLiteral("10500"));

    // "05" typed over a selection shows 5; the stored values come back at the next opening.
    site.rig.writeSettings({{QStringLiteral("CardNoMin"), QStringLiteral("abc")},
                            {QStringLiteral("CardNoMax"), QStringLiteral("40")}});
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        QLineEdit *start = Control<QLineEdit>(cards, "edtStartCardNo");
        QCOMPARE(start->text(), QStringLiteral("1"));
        QCOMPARE(Control<QLineEdit>(cards, "edtEndCardNo")->text(), QStringLiteral("40"));
        ClickOnScreen(start);
        start->selectAll();
        KeyOnScreen(start, Qt::Key_0);
        QCOMPARE(start->text(), QStringLiteral("0"));
        KeyOnScreen(start, Qt::Key_5);
        QCOMPARE(start->text(), QStringLiteral("5"));
    }));
    QCOMPARE(site.rig.storedSetting(QStringLiteral("CardNoMin")).toString(), QStringLiteral("5"));
    QCOMPARE(site.rig.storedSetting(QStringLiteral("CardNoMax")).toString(), QStringLiteral("40"));
}

void CardWindowTest::editorAppliesThePinRule()
{
    Site plain;
    QVERIFY(plain.inWindow([&](TfrmCardData &cards) {
        for (const char *button : {"btnAdd", "btnEdit", "btnOk", "btnCancel"})
            QVERIFY(Control<QToolButton>(cards, button)->isHidden());
    }));

    // With --expert the editor's Add and Edit show; OK and Cancel while it is open.
    Site site(0, {}, true);
    QVERIFY(site.connected);
    // The cards added here may be lost when the window closes.
    site.prompt->answer = true;
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        auto *add = Control<QToolButton>(cards, "btnAdd");
        auto *ok = Control<QToolButton>(cards, "btnOk");
        auto *edit = Control<QToolButton>(cards, "btnEdit");
        auto *cancel = Control<QToolButton>(cards, "btnCancel");
        QVERIFY(add->isVisible() && edit->isVisible());
        QVERIFY(ok->isHidden() && cancel->isHidden());
        ClickOnScreen(add);
        QVERIFY(ok->isVisible() && cancel->isVisible());
        QCOMPARE(Control<QLabel>(cards, "sbMode")->text(), QStringLiteral("Add mode"));
        QCOMPARE(Control<QLineEdit>(cards, "edt01")->text(), QStringLiteral("1"));
        QVERIFY(Control<QLineEdit>(cards, "edt01")->isReadOnly());
        TypeInto(Control<QLineEdit>(cards, "edt02"), QStringLiteral("1234ABCD"));
        TypeInto(Control<QLineEdit>(cards, "edt03"), QStringLiteral("7"));
        ClickOnScreen(ok);
        QCOMPARE(cards.table().RecordCount(), 1);
        CardRecord card = CardTable::RowAt(cards.table(), 0);
        QCOMPARE(card.DataNO, QStringLiteral("0000001"));
        QCOMPARE(card.DataPIN, QStringLiteral("7XXX"));
        QCOMPARE(Control<QLabel>(cards, "sbMode")->text(), QStringLiteral("View mode"));
        QVERIFY(ok->isHidden());

        // An empty PIN is not stored: OK needs all three fields.
        ClickOnScreen(add);
        QCOMPARE(Control<QLineEdit>(cards, "edt01")->text(), QStringLiteral("2"));
        TypeInto(Control<QLineEdit>(cards, "edt02"), QStringLiteral("99"));
        TypeInto(Control<QLineEdit>(cards, "edt03"), QStringLiteral("   "));
        ClickOnScreen(ok);
        QCOMPARE(cards.table().RecordCount(), 1);
        ClickOnScreen(cancel);
        QCOMPARE(Control<QLabel>(cards, "sbMode")->text(), QStringLiteral("View mode"));

        ClickOnScreen(edit);
        QCOMPARE(Control<QLabel>(cards, "sbMode")->text(), QStringLiteral("Edit mode"));
        TypeInto(Control<QLineEdit>(cards, "edt02"), QStringLiteral("77"));
        TypeInto(Control<QLineEdit>(cards, "edt03"), QStringLiteral(" 123456 "));
        ClickOnScreen(ok);
        card = CardTable::RowAt(cards.table(), 0);
        QCOMPARE(card.DataPIN, QStringLiteral("1234"));
        QCOMPARE(card.DataID, QStringLiteral("77"));
        // Edit again leaves the editor.
        ClickOnScreen(edit);
        QCOMPARE(Control<QLabel>(cards, "sbMode")->text(), QStringLiteral("View mode"));
    }));
}

void CardWindowTest::deleteAndMovesOnAnEmptyTableChangeNothing()
{
    Site site;
    QVERIFY(site.connected);
    const QString file = writeCardFile(site.rig.path(QStringLiteral("three.xml")));
    QVERIFY(!file.isEmpty());
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        for (const char *button : {"btnDelete", "btnFirst", "btnPrev", "btnNext", "btnLast"})
            ClickOnScreen(Control<QToolButton>(cards, button));
        QCOMPARE(cards.table().RecordCount(), 0);
        QVERIFY(cards.table().Active());
        QCOMPARE(Control<QLabel>(cards, "sbMode")->text(), QStringLiteral("View mode"));
        QVERIFY(site.prompt->messages.isEmpty());

        // With rows, the same buttons move and delete the current row.
        site.prompt->fileName = file;
        ClickOnScreen(Control<QPushButton>(cards, "btnReadFile"));
        QCOMPARE(cardNumbers(cards.table()),
                 QStringList({QStringLiteral("0000003"), QStringLiteral("0000005"),
                              QStringLiteral("0000009")}));
        ClickOnScreen(Control<QToolButton>(cards, "btnLast"));
        QCOMPARE(cards.table().RecNo(), 3);
        ClickOnScreen(Control<QToolButton>(cards, "btnPrev"));
        ClickOnScreen(Control<QToolButton>(cards, "btnDelete"));
        QCOMPARE(cardNumbers(cards.table()),
                 QStringList({QStringLiteral("0000003"), QStringLiteral("0000009")}));
        ClickOnScreen(Control<QPushButton>(cards, "btnClear"));
        QCOMPARE(cards.table().RecordCount(), 0);
        ClickOnScreen(Control<QToolButton>(cards, "btnDelete"));
        QCOMPARE(cards.table().RecordCount(), 0);
    }));
}

void CardWindowTest::readsAndSavesCardFiles()
{
    Site site;
    QVERIFY(site.connected);
    const QString program = QCoreApplication::applicationDirPath();
    const QString file = writeCardFile(site.rig.path(QStringLiteral("three.xml")));
    QVERIFY(!file.isEmpty());
    const QString bad = site.rig.path(QStringLiteral("bad.xml"));
    QFile broken(bad);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA>");
    broken.close();
    // The file dialogs come with the normal cursor, not the hourglass of the work after them.
    QStringList cursorsAtDialogs;
    site.prompt->onAsk = [&] {
        cursorsAtDialogs << (QApplication::overrideCursor() ? QStringLiteral("hourglass")
                                                            : QStringLiteral("normal"));
    };
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        // An empty table is not saved: no dialog at all.
        ClickOnScreen(Control<QPushButton>(cards, "btnSaveFile"));
        QVERIFY(site.prompt->dialogs.isEmpty());

        site.prompt->fileName = file;
        ClickOnScreen(Control<QPushButton>(cards, "btnReadFile"));
        QCOMPARE(site.prompt->dialogs.last(),
                 QStringLiteral("open ") + QDir(program).filePath(CardFile::DefaultFileName));
        QCOMPARE(cards.table().RecordCount(), 3);
        QCOMPARE(Control<QLabel>(cards, "sbMessage")->text(), QStringLiteral(" Record Count : 3"));
        // Columns 2 and 4 on pale green, 3 and 5 on sky blue; a cut text is read in its hint.
        const QAbstractItemModel *grid = Control<QTableView>(cards, "dgView")->model();
        const QColor green(192, 220, 192);
        const QColor blue(166, 202, 240);
        const QList<QVariant> backgrounds{QVariant(), green, blue, green, blue};
        for (int column = 0; column < 5; ++column)
            QCOMPARE(grid->index(0, column).data(Qt::BackgroundRole), backgrounds[column]);
        QCOMPARE(grid->index(0, 1).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("0000000000000003"));

        // A bad file is reported by name and leaves the table as it was.
        site.prompt->fileName = bad;
        ClickOnScreen(Control<QPushButton>(cards, "btnReadFile"));
        QCOMPARE(site.prompt->dialogs.last(), QStringLiteral("open ") + file);
        QCOMPARE(site.prompt->messages.size(), 1);
        QVERIFY(site.prompt->messages.first().startsWith(QStringLiteral("Error!")));
        QVERIFY(site.prompt->messages.first().contains(bad));
        QCOMPARE(cards.table().RecordCount(), 3);

        // Saved under the name chosen, ".xml" added unless the path holds "xml".
        site.prompt->fileName = site.rig.path(QStringLiteral("saved/cards"));
        ClickOnScreen(Control<QPushButton>(cards, "btnSaveFile"));
        QCOMPARE(site.prompt->dialogs.last(),
                 QStringLiteral("save ") + QDir(program).filePath(CardFile::DefaultFileName));
        QCOMPARE(site.prompt->messages.last(), QStringLiteral("OK!"));
        site.prompt->fileName = site.rig.path(QStringLiteral("xmlfolder/list"));
        ClickOnScreen(Control<QPushButton>(cards, "btnSaveFile"));
        QCOMPARE(site.prompt->dialogs.last(),
                 QStringLiteral("save ") + site.rig.path(QStringLiteral("saved/cards.xml")));
    }));
    QCOMPARE(cursorsAtDialogs.size(), site.prompt->dialogs.size() + site.prompt->messages.size());
    QCOMPARE(cursorsAtDialogs.count(QStringLiteral("normal")), cursorsAtDialogs.size());
    QVERIFY(QFileInfo::exists(site.rig.path(QStringLiteral("saved/cards.xml"))));
    QVERIFY(QFileInfo::exists(site.rig.path(QStringLiteral("xmlfolder/list"))));
    QCOMPARE(site.rig.storedSetting(CardFile::ReadSetting).toString(), bad);
    QCOMPARE(site.rig.storedSetting(CardFile::SaveSetting).toString(),
             site.rig.path(QStringLiteral("xmlfolder/list")));
    TableStore saved;
    QVERIFY(CardFile::Load(saved, site.rig.path(QStringLiteral("xmlfolder/list"))));
    QCOMPARE(saved.RecordCount(), 3);
}

void CardWindowTest::oneCardNumberTwiceIsAskedAboutBeforeWriting()
{
    Site site(2);
    QVERIFY(site.connected);
    const QString file =
        writeCardFile(site.rig.path(QStringLiteral("twice.xml")),
                      {{QStringLiteral("0000005"), QStringLiteral("0000000000000051")},
                       {QStringLiteral("0000005"), QStringLiteral("0000000000000052")}});
    QVERIFY(!file.isEmpty());
    const QMap<int, QByteArray> before = site.rig.sim().controller().snapshot().cards;
    site.prompt->fileName = file;
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        ClickOnScreen(Control<QPushButton>(cards, "btnReadFile"));
        QCOMPARE(cards.table().RecordCount(), 2);
        // No: nothing is sent.
        site.prompt->answer = false;
        ClickOnScreen(Control<QPushButton>(cards, "btnRestore"));
        QCOMPARE(site.prompt->questions.size(), 1);
        QVERIFY2(site.prompt->questions[0].contains(QStringLiteral("row 2: card number 0000005 is "
                                                                   "also in row 1")),
                 qPrintable(site.prompt->questions[0]));
        QCOMPARE(site.rig.sim().controller().snapshot().cards, before);
        // Yes: the first card is written, and the closing message names the one left out.
        site.prompt->answer = true;
        ClickOnScreen(Control<QPushButton>(cards, "btnRestore"));
        QCOMPARE(site.prompt->messages.size(), 1);
        QVERIFY2(site.prompt->messages[0].startsWith(QStringLiteral("Error!")),
                 qPrintable(site.prompt->messages[0]));
        QVERIFY(site.prompt->messages[0].contains(QStringLiteral("1 card written.")));
    }));
    QVERIFY(site.rig.sim().controller().snapshot().cards.value(5).startsWith("0000000000000051"));
}

// Every row invalid and "Delete all cards while Writing" checked: the window says that
// nothing can be written, asks nothing, and the controller keeps its cards.
void CardWindowTest::noWritableRowDeletesNothing()
{
    Site site(4);
    QVERIFY(site.connected);
    QList<QPair<QString, QString>> rows;
    for (const char *number : {"3x", "", "0"})
        rows.append({QLatin1String(number), QStringLiteral("0000000000000051")});
    const QString file = writeCardFile(site.rig.path(QStringLiteral("mangled.xml")), rows);
    QVERIFY(!file.isEmpty());
    const QMap<int, QByteArray> before = site.rig.sim().controller().snapshot().cards;
    QCOMPARE(before.size(), 4);
    site.prompt->fileName = file;
    site.prompt->answer = true;
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        ClickOnScreen(Control<QPushButton>(cards, "btnReadFile"));
        QCOMPARE(cards.table().RecordCount(), 3);
        ClickOnScreen(Control<QCheckBox>(cards, "cbxClearAllUser"));
        QVERIFY(Control<QCheckBox>(cards, "cbxClearAllUser")->isChecked());
        ClickOnScreen(Control<QPushButton>(cards, "btnRestore"));
    }));
    QVERIFY(site.prompt->questions.isEmpty());
    QCOMPARE(site.prompt->messages.size(), 1);
    QVERIFY2(site.prompt->messages[0].startsWith(QStringLiteral("Error!")) &&
                 site.prompt->messages[0].contains(QStringLiteral("Nothing is deleted or written")),
             qPrintable(site.prompt->messages[0]));
    QCOMPARE(site.rig.sim().controller().snapshot().cards, before);
}

void CardWindowTest::reopeningShowsAnEmptyTable()
{
    Site site(12, {{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                   {QStringLiteral("CardNoMax"), QStringLiteral("20")}});
    QVERIFY(site.connected);
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        ClickOnScreen(Control<QPushButton>(cards, "btnBackup"));
        QCOMPARE(cards.table().RecordCount(), 12);
        ClickOnScreen(Control<QPushButton>(cards, "btnExit"));
        QVERIFY(cards.isHidden());
    }));
    QVERIFY(site.inWindow([&](TfrmCardData &cards) { QCOMPARE(cards.table().RecordCount(), 0); }));
    QVERIFY(site.prompt->messages.isEmpty());
}

void CardWindowTest::deleteAllCardsAsksFirstAndReports_data()
{
    QTest::addColumn<bool>("answered");
    QTest::newRow("the controller deletes") << true;
    QTest::newRow("the controller does not answer the delete") << false;
}

// "Delete all cards" empties a controller that opens doors: the real question names the
// controller, Enter alone keeps the cards, and the end is told like every other operation's.
void CardWindowTest::deleteAllCardsAsksFirstAndReports()
{
    QFETCH(bool, answered);
    Site site(5);
    QVERIFY(site.connected);
    if (!answered) {
        FaultSettings faults;
        faults.silentCodes.insert("HK");
        site.rig.sim().setFaults(faults);
    }
    AppContext &context = site.rig.context();
    context.prompt = std::make_unique<DialogPrompt>(context.progress);
    const QString serialNumber = site.main->serialNumberText();
    QVERIFY(!serialNumber.isEmpty());
    BoxAnswerer boxes(BoxAnswerer::Answer::Enter);
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        cards.transfer().setSettleWait(3, 1);
        ClickOnScreen(Control<QPushButton>(cards, "btnClearAll"));
        QVERIFY2(boxes.asked.size() == 1, qPrintable(boxes.asked.join(QLatin1Char('|'))));
        QVERIFY2(boxes.asked[0].contains(serialNumber), qPrintable(boxes.asked[0]));
        QCOMPARE(site.rig.sim().controller().snapshot().cards.size(), 5);

        boxes.answer = BoxAnswerer::Answer::Yes;
        ClickOnScreen(Control<QPushButton>(cards, "btnClearAll"));
        QCOMPARE(boxes.asked.size(), 3);
        if (answered) {
            QCOMPARE(boxes.asked[2], QStringLiteral("OK!"));
            QVERIFY(site.rig.sim().controller().snapshot().cards.isEmpty());
        } else {
            QVERIFY2(boxes.asked[2].startsWith(QStringLiteral("Error!")) &&
                         boxes.asked[2].contains(QStringLiteral("did not confirm the delete")),
                     qPrintable(boxes.asked[2]));
            QCOMPARE(site.rig.sim().controller().snapshot().cards.size(), 5);
        }
        QVERIFY(cards.isEnabled() && Control<QPushButton>(cards, "btnClearAll")->isEnabled());
    }));
}

// The link closes while the window is open (here in the middle of a read): the controller
// actions are disabled, and the numbers left unread are not offered for a second read that
// could only fail; the message says why.
void CardWindowTest::closedLinkDisablesTheControllerActions()
{
    Site site(40, {{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                   {QStringLiteral("CardNoMax"), QStringLiteral("40")}});
    QVERIFY(site.connected);
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        const QList<QPushButton *> actions{Control<QPushButton>(cards, "btnBackup"),
                                           Control<QPushButton>(cards, "btnRestore"),
                                           Control<QPushButton>(cards, "btnClearAll")};
        for (QPushButton *button : actions)
            QVERIFY(button->isEnabled());
        AtExchange(site.rig.comm(), 10, [&] { site.rig.comm().CommClose(); });
        ClickOnScreen(actions[0]);
        for (QPushButton *button : actions)
            QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
        QVERIFY(cards.table().RecordCount() > 0);
    }));
    QVERIFY(site.prompt->questions.isEmpty());
    QCOMPARE(site.prompt->messages.size(), 1);
    QVERIFY2(site.prompt->messages[0].contains(QStringLiteral("link to the controller is closed")),
             qPrintable(site.prompt->messages[0]));
}

void CardWindowTest::writeChangesOnlyWritesTheDifferences_data()
{
    QTest::addColumn<QSet<int>>("garbled");
    QTest::addColumn<QString>("report");
    QTest::newRow("every number as the list has it")
        << QSet<int>{}
        << QStringLiteral("OK!\n\nWritten: 2, cleared: 2, unchanged: 5, "
                          "unreadable: 0, failed: 0");
    QTest::newRow("one number kept wrongly")
        << QSet<int>{10}
        << QStringLiteral("1 card number is not confirmed as the list has it: 10\n\nWritten: 1, "
                          "cleared: 2, unchanged: 5, unreadable: 0, failed: 1");
}

// The controller holds 1-8; the list keeps 1, 2, 4-6, changes 3, adds 10 and leaves 7 and 8
// out: only 3, 10, 7 and 8 are written, no card is deleted first, and the end names the counts
// and any number that failed.
void CardWindowTest::writeChangesOnlyWritesTheDifferences()
{
    QFETCH(QSet<int>, garbled);
    QFETCH(QString, report);
    Site site(0, {{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                  {QStringLiteral("CardNoMax"), QStringLiteral("20")}});
    QVERIFY(site.connected);
    site.rig.sim().controller().modify([&](ControllerData &d) {
        for (int n = 1; n <= 8; ++n)
            d.cards.insert(n, heldCard(cardId(n)));
        d.garbledCardNumbers = garbled;
        return true;
    });
    QList<QPair<QString, QString>> rows;
    for (const int n : {1, 2, 4, 5, 6})
        rows.append({cardNo(n), cardId(n)});
    rows.append({cardNo(3), cardId(33)});
    rows.append({cardNo(10), cardId(10)});
    const QString file = writeCardFile(site.rig.path(QStringLiteral("changes.xml")), rows);
    QVERIFY(!file.isEmpty());
    site.prompt->fileName = file;
    const SentCodes sent(site.rig.comm());
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        ClickOnScreen(Control<QPushButton>(cards, "btnReadFile"));
        cards.sync().transfer().setRetryPauseMs(0);
        QCheckBox *changesOnly = Control<QCheckBox>(cards, "cbxWriteChangesOnly");
        QCheckBox *deleteAll = Control<QCheckBox>(cards, "cbxClearAllUser");
        // The two exclude each other.
        ClickOnScreen(deleteAll);
        ClickOnScreen(changesOnly);
        QVERIFY(changesOnly->isChecked() && !deleteAll->isChecked());
        ClickOnScreen(deleteAll);
        QVERIFY(!changesOnly->isChecked() && deleteAll->isChecked());
        ClickOnScreen(changesOnly);
        QVERIFY(changesOnly->isChecked() && !deleteAll->isChecked());
        ClickOnScreen(Control<QPushButton>(cards, "btnRestore"));
    }));
    QVERIFY(site.prompt->questions.isEmpty());
    QCOMPARE(site.prompt->messages.size(), 1);
    QVERIFY2(site.prompt->messages[0].endsWith(report), qPrintable(site.prompt->messages[0]));
    QVERIFY(!sent.codes.contains(QStringLiteral("HK")));
    QCOMPARE(sent.codes.count(QStringLiteral("HA")), 4);
    const QMap<int, QByteArray> held = site.rig.sim().controller().snapshot().cards;
    QCOMPARE(held.keys(), (QList<int>{1, 2, 3, 4, 5, 6, 10}));
    QCOMPARE(held.value(3), heldCard(cardId(33)));
}

void CardWindowTest::cancelLeavesEachNumberAsItWasOrAsTheListHasIt_data()
{
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<QString>("report");
    // 40 numbers are read first, then each write is read back.
    QTest::newRow("while reading") << 10 << QStringLiteral("the read was cancelled");
    QTest::newRow("while writing")
        << 50 << QStringLiteral("Card numbers now as the list has them: ");
}

// Cancel clicked in the progress window: each number is as it was or as the list has it, and
// the end says which were done.
void CardWindowTest::cancelLeavesEachNumberAsItWasOrAsTheListHasIt()
{
    QFETCH(int, cancelAt);
    QFETCH(QString, report);
    Site site(40, {{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                   {QStringLiteral("CardNoMax"), QStringLiteral("40")}});
    QVERIFY(site.connected);
    const QMap<int, QByteArray> before = site.rig.sim().controller().snapshot().cards;
    QList<QPair<QString, QString>> rows;
    for (int n = 1; n <= 40; ++n)
        rows.append({cardNo(n), cardId(100 + n)});
    const QString file = writeCardFile(site.rig.path(QStringLiteral("all.xml")), rows);
    QVERIFY(!file.isEmpty());
    site.prompt->fileName = file;
    FaultSettings late;
    late.lateMs = 3;
    TfrmProcess &process = site.main->processWindow();
    const SentCodes sent(site.rig.comm());
    QVERIFY(site.inWindow([&](TfrmCardData &cards) {
        ClickOnScreen(Control<QPushButton>(cards, "btnReadFile"));
        ClickOnScreen(Control<QCheckBox>(cards, "cbxWriteChangesOnly"));
        site.rig.sim().setFaults(late);
        AtExchange(site.rig.comm(), cancelAt, [&] {
            QVERIFY(process.btnCancel->isVisible());
            ClickOnScreen(process.btnCancel);
        });
        ClickOnScreen(Control<QPushButton>(cards, "btnRestore"));
    }));
    QVERIFY(process.isHidden());
    QCOMPARE(site.prompt->messages.size(), 1);
    const QString message = site.prompt->messages[0];
    QVERIFY2(message.startsWith(QStringLiteral("Error!")) && message.contains(report),
             qPrintable(message));
    QVERIFY(!sent.codes.contains(QStringLiteral("HK")));
    const QMap<int, QByteArray> after = site.rig.sim().controller().snapshot().cards;
    int done = 0;
    for (int n = 1; n <= 40; ++n) {
        const bool isDone = after.value(n) == heldCard(cardId(100 + n));
        QVERIFY2(isDone || after.value(n) == before.value(n), qPrintable(QString::number(n)));
        done += isDone ? 1 : 0;
    }
    if (cancelAt < 40) {
        QCOMPARE(done, 0);
        QVERIFY(!sent.codes.contains(QStringLiteral("HA")));
    } else {
        QVERIFY2(done > 0 && done < 40, qPrintable(QString::number(done)));
        QVERIFY(message.contains(report + QStringLiteral("1, ")));
    }
}

QTEST_MAIN(CardWindowTest)
#include "test_card_window.moc"
