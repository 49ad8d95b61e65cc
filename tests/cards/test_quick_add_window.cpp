// Quick add as a person meets it: the card window opened modally from the main window, its
// "Quick add card" button clicked through the window system, cards presented to simulated
// MELOK9 readers on pseudo-terminals (COM numbers mapped as KT480_COM_MAP maps them).
#include "BoxAnswerer.h"
#include "CardFile.h"
#include "CardTable.h"
#include "DialogPrompt.h"
#include "ReaderPoller.h"
#include "ReaderSearch.h"
#include "TextRow.h"
#include "TfrmCardData.h"
#include "WindowLauncher.h"
#include "WindowRig.h"

#include <Language.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString Absent = QStringLiteral("/dev/kt480-no-such-port-%1");
const QString CardA = QStringLiteral("0000000012345678");
const QString CardB = QStringLiteral("0000001111111111");

std::unique_ptr<SimulatorHost> Reader(char family = 'A')
{
    SimulatorConfig config;
    config.reader = true;
    config.readerFamily = family;
    return std::make_unique<SimulatorHost>(config);
}

QList<CardRecord> Rows(TableStore &table)
{
    QList<CardRecord> rows;
    for (int row = 0; row < table.RecordCount(); ++row)
        rows << CardTable::RowAt(table, row);
    return rows;
}

// The main window with its launcher; the machine's serial ports are the ones the test maps,
// so that no real port of the machine running the test is opened.
struct Site
{
    // serialController: the controller is reached over COM10 (a pseudo-terminal), else TCP.
    explicit Site(bool serialController = false, char family = 'A')
        : reader(Reader(family)), rig({ControllerData::factory(1)}, true)
    {
        ports.assign(1, reader->readerPath());
        ports.assign(3, Absent.arg(3));
        ports.assign(10, serialController ? rig.sim().serialPath() : Absent.arg(10));
        qputenv("KT480_COM_MAP", ports.toText().toLocal8Bit());
        main = &rig.open({}, true);
        main->findChild<WindowLauncher *>()->setPortLister([this](ComPortMap &map) {
            map.merge(ports);
            return QStringList{QStringLiteral("COM1"), QStringLiteral("COM10"),
                               QStringLiteral("COM3")};
        });
        connected = serialController ? rig.connectSerial(10) : rig.connectTcp();
        prompt = &rig.scriptPrompts();
        // The window closes over the cards enrolled here only when the user agrees.
        prompt->answer = true;
    }
    ~Site() { qunsetenv("KT480_COM_MAP"); }

    bool inWindow(const std::function<void(TfrmCardData &)> &steps)
    {
        return WhileModal<TfrmCardData>(
            [&] { ClickOnScreen(Control<QPushButton>(*main, "btnCard")); }, steps);
    }

    // Starts quick add and waits for the panel.
    static bool startQuickAdd(TfrmCardData &cards)
    {
        ClickOnScreen(Control<QPushButton>(cards, "btnAddCard"));
        return QTest::qWaitFor([&] { return cards.quickAddRunning(); }, 10000);
    }

    // Presents a card and waits until the panel shows it.
    bool present(TfrmCardData &cards, const QByteArray &code)
    {
        reader->presentCard(code);
        const QString id =
            QStringLiteral("%1").arg(QString::fromLatin1(code), 16, QLatin1Char('0'));
        return QTest::qWaitFor([&] { return Control<QLineEdit>(cards, "edtCardID")->text() == id; },
                               5000);
    }

    std::unique_ptr<SimulatorHost> reader;
    WindowRig rig;
    ComPortMap ports;
    TfrmKT480NT5 *main = nullptr;
    ScriptedPrompt *prompt = nullptr;
    bool connected = false;
};

} // namespace

class TestQuickAddWindow : public QObject
{
    Q_OBJECT

private slots:
    // With the controller on COM10, the ports go COM3, COM10, COM1; COM10 is never opened
    // and the controller stays connected.
    void searchSkipsTheControllersPort()
    {
        Site site(true);
        QVERIFY(site.connected);
        QStringList scanned;
        QStringList probed;
        QString statusWhileScanning;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            connect(&cards.readerSearch(), &ReaderSearch::scanning, this, [&](const QString &port) {
                scanned << port;
                if (port == QLatin1String("COM10"))
                    statusWhileScanning = Control<QLabel>(cards, "sbMessage")->text();
            });
            connect(&cards.readerSearch(), &ReaderSearch::probing, this,
                    [&](const QString &port) { probed << port; });
            QVERIFY(Site::startQuickAdd(cards));
            QVERIFY(Control<QWidget>(cards, "pnlCardID")->isVisible());
            QCOMPARE(Control<QLabel>(cards, "pnlTitle")->text(),
                     QStringLiteral("Please punch card"));
            QCOMPARE(Control<QLabel>(cards, "sbMessage")->text(),
                     QStringLiteral("Please punch card"));
            QCOMPARE(Control<QLineEdit>(cards, "edtCardNo")->text(), QStringLiteral("0000001"));
            QCOMPARE(Control<QLineEdit>(cards, "edtAppNo")->text(), QStringLiteral("1"));
            QCOMPARE(Control<QLineEdit>(cards, "edtPIN")->text(), QStringLiteral("XXXX"));
            QCOMPARE(Control<QComboBox>(cards, "cbxAPB")->currentText(),
                     QStringLiteral("0 [APB Check]"));
            QVERIFY(!Control<QWidget>(cards, "pnlRight")->isEnabled());
            QVERIFY(!Control<QWidget>(cards, "tbEdit")->isEnabled());
            // The keys each edit takes: digits; digits and a capital X for the PIN.
            const QList<QPair<const char *, QString>> typed{{"edtCardNo", QStringLiteral("0a5-")},
                                                            {"edtAppNo", QStringLiteral("x7 3")},
                                                            {"edtPIN", QStringLiteral("1x2X3")}};
            const QStringList kept{QStringLiteral("05"), QStringLiteral("73"),
                                   QStringLiteral("12X3")};
            for (int i = 0; i < typed.size(); ++i) {
                auto *edit = Control<QLineEdit>(cards, typed[i].first);
                ClickOnScreen(edit);
                edit->selectAll();
                KeyOnScreen(edit, Qt::Key_Backspace);
                TypeOnScreen(edit, typed[i].second);
                QCOMPARE(edit->text(), kept[i]);
            }
            ClickOnScreen(Control<QPushButton>(cards, "btnStop"));
            QVERIFY(Control<QWidget>(cards, "pnlRight")->isEnabled());
        }));
        QCOMPARE(scanned, QStringList({QStringLiteral("COM3"), QStringLiteral("COM10"),
                                       QStringLiteral("COM1")}));
        QCOMPARE(probed, QStringList{QStringLiteral("COM1")});
        QCOMPARE(statusWhileScanning, QStringLiteral("COM10 Scanning..... MELOK9"));
        QVERIFY(site.rig.comm().DeviceConnected());
        QVERIFY(!site.rig.comm().ReaderHeld());
        QVERIFY(site.prompt->messages.isEmpty());
    }

    // A card is shown, and added when the next one comes; an 8-character code is no card;
    // the same card again is refused with "CardID Repeat!" after the pending one is added.
    void cardsAreAddedByTheNextCard()
    {
        Site site;
        QVERIFY(site.connected);
        QList<CardRecord> rows;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            QVERIFY(Site::startQuickAdd(cards));
            QVERIFY(site.present(cards, "012345678"));
            QCOMPARE(Control<QLineEdit>(cards, "edtCardID")->text(), CardA);
            QCOMPARE(cards.table().RecordCount(), 0);
            // The user chooses APB 1 and a PIN for the card shown.
            Control<QComboBox>(cards, "cbxAPB")->setCurrentIndex(1);
            TypeInto(Control<QLineEdit>(cards, "edtPIN"), QStringLiteral("12"));

            site.reader->presentCard("87654321");
            QVERIFY(site.present(cards, "1111111111"));
            QCOMPARE(cards.table().RecordCount(), 1);
            QCOMPARE(Control<QLineEdit>(cards, "edtCardNo")->text(), QStringLiteral("0000002"));

            site.reader->presentCard("1111111111");
            QVERIFY(QTest::qWaitFor([&] { return !site.prompt->messages.isEmpty(); }, 5000));
            QCOMPARE(site.prompt->messages, QStringList{QStringLiteral("CardID Repeat!")});
            QCOMPARE(site.prompt->captions.value(0), QStringLiteral("System Message"));
            QVERIFY(Control<QLineEdit>(cards, "edtCardID")->text().isEmpty());
            QVERIFY(cards.quickAddRunning());
            QVERIFY(cards.poller().running());
            ClickOnScreen(Control<QPushButton>(cards, "btnStop"));
            rows = Rows(cards.table());
        }));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0],
                 (CardRecord{QStringLiteral("0000001"), CardA, QStringLiteral("01"),
                             QStringLiteral("0"), QStringLiteral("12XX"), QStringLiteral("1")}));
        QCOMPARE(rows[1].DataNO, QStringLiteral("0000002"));
        QCOMPARE(rows[1].DataID, CardB);
    }

    // The mode panel stays empty while quick add polls, also after a real message box
    // ("CardID Repeat!") has come and gone, and after Stop.
    void modePanelStaysEmptyAroundAMessageBox()
    {
        Site site;
        QVERIFY(site.connected);
        AppContext &context = site.rig.context();
        context.prompt = std::make_unique<DialogPrompt>(context.progress);
        BoxAnswerer boxes;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            QLabel *mode = Control<QLabel>(cards, "sbMode");
            QVERIFY(Site::startQuickAdd(cards));
            QCOMPARE(mode->text(), QString());
            QVERIFY(site.present(cards, "012345678"));
            site.reader->presentCard("012345678");
            QVERIFY(QTest::qWaitFor([&] { return boxes.asked.size() == 1; }, 5000));
            // The person comes back to the window.
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return !QApplication::activeModalWidget() ||
                           QApplication::activeModalWidget() == &cards;
                },
                5000));
            cards.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&cards));
            QCOMPARE(boxes.asked[0], QStringLiteral("CardID Repeat!"));
            QCOMPARE(mode->text(), QString());
            ClickOnScreen(Control<QPushButton>(cards, "btnStop"));
            QCOMPARE(mode->text(), QString());
            // The window activated again (a box over it) keeps the panel empty.
            context.prompt->message(QStringLiteral("OK!"), QStringLiteral("System Message"));
            cards.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&cards));
            QCOMPARE(mode->text(), QString());
            // The cards enrolled are given up when the window closes.
            boxes.answer = BoxAnswerer::Answer::Yes;
        }));
    }

    // Stop, Esc and closing the window each add the card shown, once.
    void everyWayOutAddsThePendingCardOnce()
    {
        Site site;
        QVERIFY(site.connected);
        int afterButton = -1;
        int afterEsc = -1;
        int afterClose = -1;
        bool stillOpenAfterEsc = false;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            QVERIFY(Site::startQuickAdd(cards));
            QVERIFY(site.present(cards, "012345678"));
            ClickOnScreen(Control<QPushButton>(cards, "btnStop"));
            cards.btnStopClick();
            afterButton = cards.table().RecordCount();
            QVERIFY(Control<QWidget>(cards, "pnlCardID")->isHidden());
            QVERIFY(!site.rig.comm().ReaderHeld());

            QVERIFY(Site::startQuickAdd(cards));
            QCOMPARE(Control<QLineEdit>(cards, "edtCardNo")->text(), QStringLiteral("0000002"));
            QVERIFY(site.present(cards, "1111111111"));
            KeyOnScreen(Control<QLineEdit>(cards, "edtCardID"), Qt::Key_Escape);
            stillOpenAfterEsc = cards.isVisible() && !cards.quickAddRunning();
            afterEsc = cards.table().RecordCount();

            QVERIFY(Site::startQuickAdd(cards));
            QVERIFY(site.present(cards, "2222222222"));
            cards.close();
            afterClose = cards.table().RecordCount();
            QVERIFY(cards.isHidden());
            cards.btnStopClick();
            QCOMPARE(cards.table().RecordCount(), afterClose);
        }));
        QCOMPARE(afterButton, 1);
        QVERIFY(stillOpenAfterEsc);
        QCOMPARE(afterEsc, 2);
        QCOMPARE(afterClose, 3);
        QVERIFY(!site.rig.comm().ReaderHeld());
    }

    // Closing the window, or reading a file over the cards enrolled here, asks first; No keeps
    // the window and every card. Once the cards are saved the window closes without a word.
    void enrolledCardsAreNotLostWithoutAsking()
    {
        Site site;
        QVERIFY(site.connected);
        site.prompt->answer = false;
        const QString other = site.rig.path(QStringLiteral("other.xml"));
        TableStore file;
        CardTable::Recreate(file);
        CardTable::Append(file, {QStringLiteral("0000009"), CardB, QStringLiteral("01"),
                                 QStringLiteral("0"), QStringLiteral("XXXX"), QStringLiteral("0")});
        QVERIFY(CardFile::Save(file, other));
        const QString saved = site.rig.path(QStringLiteral("enrolled.xml"));
        bool closedAtLast = false;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            QVERIFY(Site::startQuickAdd(cards));
            QVERIFY(site.present(cards, "012345678"));
            // The close box while the card is still pending.
            cards.close();
            QVERIFY(cards.isVisible());
            QVERIFY(!cards.quickAddRunning());
            QCOMPARE(site.prompt->questions.size(), 1);
            QCOMPARE(Rows(cards.table()).value(0).DataID, CardA);
            ClickOnScreen(Control<QPushButton>(cards, "btnExit"));
            QVERIFY(cards.isVisible());
            QCOMPARE(site.prompt->questions.size(), 2);

            site.prompt->fileName = other;
            ClickOnScreen(Control<QPushButton>(cards, "btnReadFile"));
            QCOMPARE(site.prompt->questions.size(), 3);
            QCOMPARE(Rows(cards.table()).value(0).DataID, CardA);
            QCOMPARE(cards.table().RecordCount(), 1);

            // "Clear screen data" asks too.
            ClickOnScreen(Control<QPushButton>(cards, "btnClear"));
            QCOMPARE(site.prompt->questions.size(), 4);
            QCOMPARE(Rows(cards.table()).value(0).DataID, CardA);
            QCOMPARE(cards.table().RecordCount(), 1);

            site.prompt->fileName = saved;
            ClickOnScreen(Control<QPushButton>(cards, "btnSaveFile"));
            QCOMPARE(site.prompt->messages, QStringList{QStringLiteral("OK!")});
            ClickOnScreen(Control<QPushButton>(cards, "btnExit"));
            closedAtLast = cards.isHidden();
        }));
        QVERIFY(closedAtLast);
        QCOMPARE(site.prompt->questions.size(), 4);
        QVERIFY2(site.prompt->questions[0].contains(QStringLiteral("neither written to the "
                                                                   "controller nor saved")),
                 qPrintable(site.prompt->questions[0]));
        TableStore back;
        QVERIFY(CardFile::Load(back, saved));
        QCOMPARE(Rows(back).value(0).DataID, CardA);
    }

    // Stop pressed while a poll waits for the reader: the pending card is added once, and
    // what that poll brings back is dropped with it.
    void stopDuringAPollDropsItsAnswer()
    {
        Site site;
        QVERIFY(site.connected);
        QList<CardRecord> rows;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            QVERIFY(Site::startQuickAdd(cards));
            QVERIFY(site.present(cards, "012345678"));
            bool stopped = false;
            connect(&cards.poller(), &ReaderPoller::ticked, this, [&] {
                if (stopped)
                    return;
                stopped = true;
                site.reader->presentCard("1111111111");
                QTimer::singleShot(0, &cards,
                                   [&] { ClickOnScreen(Control<QPushButton>(cards, "btnStop")); });
            });
            QVERIFY(QTest::qWaitFor([&] { return !cards.quickAddRunning(); }, 5000));
            QTest::qWait(50);
            rows = Rows(cards.table());
            QVERIFY(Control<QLineEdit>(cards, "edtCardID")->text().isEmpty());
        }));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].DataID, CardA);
    }

    // A reader that stops answering (its cable pulled) is named in the status bar, so that
    // nobody presents cards in vain; when it answers again the panel asks for cards, and the
    // card shown before keeps its place.
    void aReaderThatStopsAnsweringIsNamed()
    {
        Site site;
        QVERIFY(site.connected);
        QList<CardRecord> rows;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            auto *status = Control<QLabel>(cards, "sbMessage");
            QVERIFY(Site::startQuickAdd(cards));
            QVERIFY(site.present(cards, "012345678"));
            QCOMPARE(status->text(), QStringLiteral("Please punch card"));
            site.reader->reader().setSilent(true);
            QVERIFY(QTest::qWaitFor([&] { return status->text().startsWith(u"MELOK9 does not"); },
                                    10000));
            QCOMPARE(Control<QLineEdit>(cards, "edtCardID")->text(), CardA);
            site.reader->reader().setSilent(false);
            QVERIFY(QTest::qWaitFor([&] { return status->text() == u"Please punch card"; }, 5000));
            QVERIFY(site.present(cards, "1111111111"));
            ClickOnScreen(Control<QPushButton>(cards, "btnStop"));
            rows = Rows(cards.table());
        }));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].DataID, CardA);
        QCOMPARE(rows[1].DataID, CardB);
    }

    // A reader of the second family is found after the first family's probes go unanswered,
    // and polled with its own read command.
    void familyHReaderIsFound()
    {
        Site site(false, 'H');
        QVERIFY(site.connected);
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            QVERIFY(Site::startQuickAdd(cards));
            QCOMPARE(cards.poller().readCommand(), QStringLiteral("H00F"));
            QVERIFY(site.present(cards, "012345678"));
            ClickOnScreen(Control<QPushButton>(cards, "btnStop"));
            QCOMPARE(cards.table().RecordCount(), 1);
        }));
    }

    // A card whose ID the user edited to other than 16 characters is not added, and the
    // user is told so in the panel and the status bar.
    void editedCardIdIsReported()
    {
        Site site;
        QVERIFY(site.connected);
        QString note;
        QString status;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            QVERIFY(Site::startQuickAdd(cards));
            QVERIFY(site.present(cards, "012345678"));
            TypeInto(Control<QLineEdit>(cards, "edtCardID"), QStringLiteral("12345"));
            QVERIFY(site.present(cards, "1111111111"));
            QCOMPARE(cards.table().RecordCount(), 0);
            note = Control<QLabel>(cards, "lblCardIDNote")->text();
            status = Control<QLabel>(cards, "sbMessage")->text();
            QVERIFY(Control<QLabel>(cards, "lblCardIDNote")->isVisible());
            QVERIFY(KeepPicture(cards, QStringLiteral("quickadd-note-en.png")));
            ClickOnScreen(Control<QPushButton>(cards, "btnStop"));
            QCOMPARE(cards.table().RecordCount(), 1);
        }));
        QVERIFY2(note.contains(QStringLiteral("\"12345\"")) &&
                     note.contains(QStringLiteral("not added")),
                 qPrintable(note));
        QCOMPARE(status, note);
    }

    // Card numbers 1, 2 and 4 taken: the first card gets 3, the next 5.
    void nextFreeNumberFillsTheGaps()
    {
        Site site;
        QVERIFY(site.connected);
        TableStore file;
        CardTable::Recreate(file);
        for (const int n : {1, 2, 4})
            CardTable::Append(file, {QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0')),
                                     QStringLiteral("%1").arg(n, 16, 10, QLatin1Char('0')),
                                     QStringLiteral("01"), QStringLiteral("0"),
                                     QStringLiteral("XXXX"), QStringLiteral("0")});
        const QString path = site.rig.path(QStringLiteral("gaps.xml"));
        QVERIFY(CardFile::Save(file, path));
        site.prompt->fileName = path;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            ClickOnScreen(Control<QPushButton>(cards, "btnReadFile"));
            QCOMPARE(cards.table().RecordCount(), 3);
            QVERIFY(Site::startQuickAdd(cards));
            QCOMPARE(Control<QLineEdit>(cards, "edtCardNo")->text(), QStringLiteral("0000003"));
            QVERIFY(site.present(cards, "012345678"));
            QCOMPARE(Control<QLineEdit>(cards, "edtCardNo")->text(), QStringLiteral("0000003"));
            QVERIFY(site.present(cards, "1111111111"));
            QCOMPARE(Control<QLineEdit>(cards, "edtCardNo")->text(), QStringLiteral("0000005"));
            QCOMPARE(CardTable::RowAt(cards.table(), 3).DataNO, QStringLiteral("0000003"));
            ClickOnScreen(Control<QPushButton>(cards, "btnStop"));
        }));
    }

    // The panel in the three languages, a card shown; KT480_SCREENSHOT_DIR keeps the pictures
    // (docs/quickadd-*.png).
    void threeLanguages()
    {
        Site site;
        QVERIFY(site.connected);
        const QStringList names{QStringLiteral("en"), QStringLiteral("zh-tw"),
                                QStringLiteral("zh-cn")};
        const QList<QByteArray> codes{"0012345678", "0023456789", "0034567890"};
        for (int language = 0; language < 3; ++language) {
            site.rig.context().language.SetLanguageIndex(language);
            const Language lang(language);
            QVERIFY(site.inWindow([&](TfrmCardData &cards) {
                QCOMPARE(Control<QPushButton>(cards, "btnAddCard")->text(),
                         lang.TableText(TextRow::QuickAddCard));
                QVERIFY(Site::startQuickAdd(cards));
                QVERIFY(site.present(cards, codes[language]));
                QCOMPARE(Control<QLabel>(cards, "pnlTitle")->text(),
                         lang.TableText(TextRow::PleasePunchCard));
                QCOMPARE(Control<QPushButton>(cards, "btnStop")->text(),
                         lang.TableText(TextRow::StopPunchCard));
                QCOMPARE(Control<QComboBox>(cards, "cbxAPB")->itemText(1),
                         lang.TableText(TextRow::ApbNoCheck));
                const QRect panel = Control<QWidget>(cards, "pnlCardID")->geometry();
                QVERIFY(cards.rect().contains(panel));
                QVERIFY(KeepPicture(cards, QStringLiteral("quickadd-%1.png").arg(names[language])));
                ClickOnScreen(Control<QPushButton>(cards, "btnStop"));
            }));
        }
    }

    void noReaderFound()
    {
        Site site;
        QVERIFY(site.connected);
        site.ports.assign(1, Absent.arg(1));
        bool idleAfter = false;
        QVERIFY(site.inWindow([&](TfrmCardData &cards) {
            ClickOnScreen(Control<QPushButton>(cards, "btnAddCard"));
            idleAfter = !cards.quickAddRunning() &&
                        Control<QWidget>(cards, "pnlCardID")->isHidden() &&
                        Control<QWidget>(cards, "pnlRight")->isEnabled() &&
                        Control<QLabel>(cards, "sbMessage")->text().isEmpty();
        }));
        QCOMPARE(site.prompt->messages, QStringList{QStringLiteral("couldn't find MELOK9!")});
        QVERIFY(idleAfter);
        QVERIFY(!site.rig.comm().ReaderHeld());
    }
};

QTEST_MAIN(TestQuickAddWindow)
#include "test_quick_add_window.moc"
