// The two search windows as a person meets them: opened modally by the main window's Search
// buttons, clicked through, answered, and the main window connected to what they found.
#include "ScriptedPrompt.h"
#include "SearchSites.h"
#include "SearchStatusBar.h"
#include "SerialPortList.h"
#include "Settings.h"
#include "TfrmComSearch.h"
#include "TfrmNetSearch.h"
#include "UserPrompt.h"
#include "WindowLauncher.h"
#include "WindowRig.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>
#include <functional>

namespace {

// Runs `act` on the modal window of type W once it is shown; `act` closes it.
template <typename W> void WhenShown(const std::function<void(W &)> &act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto *window = qobject_cast<W *>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(*window);
    });
    poll->start();
}

// Notes whether a widget was ever shown: a search may end before the click that started it
// returns, on a slow machine.
class ShowSpy : public QObject
{
public:
    bool shown = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        shown = shown || event->type() == QEvent::Show;
        return false;
    }
};

// One main window with its window launcher and an answering prompt.
struct MainSite
{
    explicit MainSite(const QByteArray &comMap = {})
    {
        if (!comMap.isEmpty())
            qputenv("KT480_COM_MAP", comMap);
        window = &rig.open();
        new WindowLauncher(*window);
        auto scripted = std::make_unique<ScriptedPrompt>();
        prompt = scripted.get();
        window->context().prompt = std::move(scripted);
    }
    ~MainSite() { qunsetenv("KT480_COM_MAP"); }

    bool functionButtonsDisabled() const
    {
        return !Control<QPushButton>(*window, "btnParameter")->isEnabled() &&
               !Control<QPushButton>(*window, "btnCard")->isEnabled() &&
               !Control<QPushButton>(*window, "btnBackup")->isEnabled() &&
               !Control<QPushButton>(*window, "btnDeviceTime")->isEnabled();
    }

    WindowRig rig{{ControllerData::factory(1)}, false};
    TfrmKT480NT5 *window = nullptr;
    ScriptedPrompt *prompt = nullptr;
};

bool WaitForMessage(const ScriptedPrompt &prompt, int count = 1)
{
    return QTest::qWaitFor([&] { return prompt.messages.size() >= count; }, 30000);
}

// Fills the address boxes with A.B.C and the fourth parts `first` to `last`.
void SetRange(TfrmNetSearch &window, const QString &network, int first, int last)
{
    const QStringList parts = network.split(QLatin1Char('.'));
    QTEST_ASSERT(parts.size() == 3);
    window.edtIP01->setText(parts[0]);
    window.edtIP02->setText(parts[1]);
    window.edtIP03->setText(parts[2]);
    window.edtIP04->setText(QString::number(first));
    window.edtIP05->setText(QString::number(last));
}

void Type(QWidget *start, const QString &keys)
{
    // Keys reach the focused box only once the window system has activated the window.
    start->window()->activateWindow();
    QTEST_ASSERT(QTest::qWaitForWindowActive(start->window()));
    start->setFocus(Qt::OtherFocusReason);
    for (const QChar c : keys) {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target, c.toLatin1());
    }
}

} // namespace

class TestSearchWindows : public QObject
{
    Q_OBJECT

private slots:
    // The Part's example: a controller at COM3, 9600,e,8,1, Device ID 2; COM10 and COM1 are
    // silent lines. The message names it and the main window connects to it.
    void serialSearchFindsAndTheMainWindowConnects()
    {
        SerialLine com3(9600, {Controller(2)});
        const auto com10 = SerialLine::silent();
        const auto com1 = SerialLine::silent();
        MainSite site("3=" + com3.path().toLocal8Bit() + ";10=" + com10->path().toLocal8Bit() +
                      ";1=" + com1->path().toLocal8Bit());
        QVERIFY(site.rig.settle());
        TfrmKT480NT5 &w = *site.window;
        QVERIFY(Control<QPushButton>(w, "btnSearch01")->isEnabled());

        QStringList listed;
        QString idsShown;
        QString statusDuring;
        bool exitDisabledDuring = false;
        bool cancelShownDuring = false;
        WhenShown<TfrmComSearch>([&](TfrmComSearch &s) {
            for (int i = 0; i < s.cbxCommNo->count(); ++i)
                listed << s.cbxCommNo->itemText(i);
            s.lblBaudRate->setChecked(false);
            s.cbxBaudRate->setCurrentText(QStringLiteral("9600,e,8,1"));
            s.edID01->setText(QStringLiteral("1"));
            s.edID02->setText(QStringLiteral("3"));
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            if (QTest::qWaitFor([&] { return !s.sbMain->text().isEmpty(); }, 5000))
                statusDuring = s.sbMain->text();
            exitDisabledDuring = !s.btnExit->isEnabled();
            cancelShownDuring = s.btnCancel->isVisible();
            idsShown = s.edID01->text() + QLatin1Char('~') + s.edID02->text();
            WaitForMessage(*site.prompt);
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(w, "btnSearch01"), Qt::LeftButton);

        QVERIFY(listed.contains(QStringLiteral("COM3")));
        QVERIFY(listed.indexOf(QStringLiteral("COM1")) < listed.indexOf(QStringLiteral("COM10")));
        QVERIFY(listed.indexOf(QStringLiteral("COM10")) < listed.indexOf(QStringLiteral("COM3")));
        QCOMPARE(idsShown, QStringLiteral("0001~0003"));
        QVERIFY2(statusDuring.startsWith(QStringLiteral("Scanning ... COM:")),
                 qPrintable(statusDuring));
        QVERIFY(exitDisabledDuring);
        QVERIFY(cancelShownDuring);
        QCOMPARE(site.prompt->messages.value(0),
                 QStringLiteral("Succeeded in Finding  COM3  9600,e,8,1  0002 "));
        QCOMPARE(site.prompt->captions.value(0), QStringLiteral("System Message"));
        QVERIFY(site.rig.settle());
        QCOMPARE(Control<QComboBox>(w, "cbxCommNo")->currentText(), QStringLiteral("COM3"));
        QCOMPARE(Control<QComboBox>(w, "cbxBaudRate")->currentText(), QStringLiteral("9600,e,8,1"));
        QCOMPARE(Control<QLineEdit>(w, "edID01")->text(), QStringLiteral("0002"));
        QVERIFY2(site.rig.comm().DeviceConnected(),
                 qPrintable(Control<QPlainTextEdit>(w, "Memo1")->toPlainText()));
        QCOMPARE(Control<QLabel>(w, "pnSN")->text(), QStringLiteral("12345678"));
        QCOMPARE(w.statusText(), QStringLiteral("Communication ok.  COM:3"));
    }

    // A port plugged in after the program started (a name the system does not number, as
    // some adapters' drivers give): the search lists it and finds the controller there, and
    // the main window connects to that port instead of failing on a number it does not know.
    void serialSearchConnectsOnAPortPluggedInLater()
    {
        SerialLine line(9600, {Controller(2)});
        MainSite site;
        QVERIFY(site.rig.settle());
        TfrmKT480NT5 &w = *site.window;
        Settings &settings = w.context().settings;
        const QString path = line.path();
        w.findChild<WindowLauncher *>()->setPortLister([path, &settings](ComPortMap &map) {
            return SerialPortList(settings).Build({path}, map);
        });
        QString listed;
        WhenShown<TfrmComSearch>([&](TfrmComSearch &s) {
            listed = s.cbxCommNo->currentText();
            s.lblBaudRate->setChecked(false);
            s.cbxBaudRate->setCurrentText(QStringLiteral("9600,e,8,1"));
            s.edID02->setText(QStringLiteral("2"));
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            WaitForMessage(*site.prompt);
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(w, "btnSearch01"), Qt::LeftButton);
        QVERIFY(!listed.isEmpty());
        QCOMPARE(site.prompt->messages.value(0),
                 QStringLiteral("Succeeded in Finding  %1  9600,e,8,1  0002 ").arg(listed));
        QVERIFY(site.rig.settle());
        QVERIFY2(site.rig.comm().DeviceConnected(), qPrintable(w.statusText()));
        QCOMPARE(Control<QComboBox>(w, "cbxCommNo")->currentText(), listed);
        QCOMPARE(w.statusText(),
                 QStringLiteral("Communication ok.  COM:%1").arg(listed.mid(3).toInt()));
    }

    // Cancel part-way: the not-found message, every port closed, the main window idle.
    void serialCancelLeavesNothingOpen()
    {
        const auto com3 = SerialLine::silent();
        const auto com4 = SerialLine::silent();
        MainSite site("3=" + com3->path().toLocal8Bit() + ";4=" + com4->path().toLocal8Bit());
        QVERIFY(site.rig.settle());
        TfrmKT480NT5 &w = *site.window;
        bool idleAfter = false;
        bool thoroughOff = false;
        bool scanning = false;
        WhenShown<TfrmComSearch>([&](TfrmComSearch &s) {
            thoroughOff = !s.chkThorough->isChecked();
            s.chkThorough->setChecked(true);
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            scanning = QTest::qWaitFor(
                [&] { return s.sbMain->text().contains(QLatin1String("0001")); }, 5000);
            QTest::mouseClick(s.btnCancel, Qt::LeftButton);
            WaitForMessage(*site.prompt);
            idleAfter = s.btnExit->isEnabled() && s.btnSearch->isEnabled() &&
                        s.btnCancel->isHidden() && s.sbMain->text().isEmpty() && !s.searching();
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(w, "btnSearch01"), Qt::LeftButton);
        QVERIFY(thoroughOff);
        QVERIFY(scanning);
        QCOMPARE(site.prompt->messages, QStringList{QStringLiteral("couldn't find!")});
        QVERIFY(idleAfter);
        QCOMPARE(OpenDescriptors(com3->path()), 1);
        QCOMPARE(OpenDescriptors(com4->path()), 1);
        QVERIFY(!site.rig.comm().TransportHeld());
        QVERIFY(!site.rig.comm().DeviceConnected());
        QVERIFY(site.functionButtonsDisabled());
    }

    // The port and line boxes show where the search is as it goes; while a setting's
    // broadcast asks every Device ID at once, the status names the range, not ID 0000.
    void serialBoxesFollowTheSearch()
    {
        const auto com5 = SerialLine::silent();
        MainSite site("5=" + com5->path().toLocal8Bit());
        QVERIFY(site.rig.settle());
        QStringList settingsShown;
        QStringList portsShown;
        QStringList statuses;
        WhenShown<TfrmComSearch>([&](TfrmComSearch &s) {
            s.edID01->setText(QStringLiteral("1"));
            s.edID02->setText(QStringLiteral("3"));
            QTimer watch;
            watch.setInterval(5);
            connect(&watch, &QTimer::timeout, &s, [&] {
                // From the first place the search reports on.
                if (!s.searching() || s.sbMain->text().isEmpty())
                    return;
                if (!settingsShown.contains(s.cbxBaudRate->currentText()))
                    settingsShown << s.cbxBaudRate->currentText();
                if (!portsShown.contains(s.cbxCommNo->currentText()))
                    portsShown << s.cbxCommNo->currentText();
                if (!statuses.contains(s.sbMain->text()))
                    statuses << s.sbMain->text();
            });
            watch.start();
            // Every port shown, however briefly: ports that cannot be opened pass in a moment.
            connect(s.cbxCommNo, &QComboBox::currentTextChanged, &s, [&](const QString &port) {
                if (s.searching() && !portsShown.contains(port))
                    portsShown << port;
            });
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            QVERIFY(QTest::qWaitFor([&] { return settingsShown.size() >= 3; }, 10000));
            watch.stop();
            QTest::mouseClick(s.btnCancel, Qt::LeftButton);
            WaitForMessage(*site.prompt);
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(*site.window, "btnSearch01"), Qt::LeftButton);
        QVERIFY2(settingsShown.size() >= 3, qPrintable(settingsShown.join(QLatin1Char('|'))));
        QCOMPARE(settingsShown.mid(0, 3),
                 QStringList({QStringLiteral("921600,e,8,1"), QStringLiteral("921600,n,8,1"),
                              QStringLiteral("460800,e,8,1")}));
        // The machine's own ports are searched too.
        QVERIFY2(portsShown.contains(QStringLiteral("COM5")),
                 qPrintable(portsShown.join(QLatin1Char('|'))));
        QVERIFY(!statuses.isEmpty());
        for (const QString &status : statuses)
            QVERIFY2(status.endsWith(QStringLiteral(" 0001～0003")) &&
                         !status.contains(QStringLiteral("0000")),
                     qPrintable(status));
    }

    // The window opened after each language button, idle and searching: "Thorough" follows
    // the language too. KT480_SCREENSHOT_DIR keeps the pictures (docs/search-com-*.png).
    void serialSearchInThreeLanguages()
    {
        const auto com1 = SerialLine::silent();
        const auto com3 = SerialLine::silent();
        MainSite site("1=" + com1->path().toLocal8Bit() + ";3=" + com3->path().toLocal8Bit());
        QVERIFY(site.rig.settle());
        TfrmKT480NT5 &w = *site.window;
        const char *buttons[] = {"btnEng", "btnBIG5", "btnGB"};
        const QStringList names{u"en"_qs, u"zh-tw"_qs, u"zh-cn"_qs};
        const QStringList thorough{u"Thorough"_qs, u"完整搜尋"_qs, u"完整搜索"_qs};
        for (int language = 0; language < 3; ++language) {
            ClickOnScreen(Control<QPushButton>(w, buttons[language]));
            const int asked = int(site.prompt->messages.size());
            QString caption;
            bool idleKept = false;
            bool searchingKept = false;
            WhenShown<TfrmComSearch>([&](TfrmComSearch &s) {
                caption = s.chkThorough->text();
                idleKept = KeepPicture(s, u"search-com-%1-idle.png"_qs.arg(names[language]));
                s.chkThorough->setChecked(true);
                QTest::mouseClick(s.btnSearch, Qt::LeftButton);
                if (QTest::qWaitFor(
                        [&] { return s.sbMain->text().contains(QLatin1String("0001")); }, 5000))
                    searchingKept =
                        KeepPicture(s, u"search-com-%1-searching.png"_qs.arg(names[language]));
                QTest::mouseClick(s.btnCancel, Qt::LeftButton);
                WaitForMessage(*site.prompt, asked + 1);
                QTest::mouseClick(s.btnExit, Qt::LeftButton);
            });
            QTest::mouseClick(Control<QPushButton>(w, "btnSearch01"), Qt::LeftButton);
            QCOMPARE(caption, thorough[language]);
            QVERIFY(idleKept);
            QVERIFY(searchingKept);
        }
    }

    // Restoring the program from the task bar shows a window again (a spontaneous show): the
    // port, the line setting and the place the person chose stay as they were.
    void searchWindowsKeepTheirChoicesWhenRestored()
    {
        const auto com1 = SerialLine::silent();
        const auto com3 = SerialLine::silent();
        MainSite site("1=" + com1->path().toLocal8Bit() + ";3=" + com3->path().toLocal8Bit());
        QVERIFY(site.rig.settle());
        TfrmKT480NT5 &w = *site.window;
        const auto restore = [](QWidget &window) {
            QShowEvent restored;
            QSpontaneKeyEvent::setSpontaneous(&restored);
            QApplication::instance()->notify(&window, &restored);
        };
        QPoint placed;
        QPoint kept;
        QString port;
        QString line;
        WhenShown<TfrmComSearch>([&](TfrmComSearch &s) {
            s.lblPort01->setChecked(false);
            s.cbxCommNo->setCurrentText(QStringLiteral("COM1"));
            s.lblBaudRate->setChecked(false);
            s.cbxBaudRate->setCurrentText(QStringLiteral("9600,e,8,1"));
            placed = s.pos() + QPoint(40, 30);
            s.move(placed);
            restore(s);
            port = s.cbxCommNo->currentText();
            line = s.cbxBaudRate->currentText();
            kept = s.pos();
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(w, "btnSearch01"), Qt::LeftButton);
        QCOMPARE(port, QStringLiteral("COM1"));
        QCOMPARE(line, QStringLiteral("9600,e,8,1"));
        QCOMPARE(kept, placed);

        Control<QTabWidget>(w, "pcMain")->setCurrentIndex(1);
        WhenShown<TfrmNetSearch>([&](TfrmNetSearch &s) {
            placed = s.pos() + QPoint(40, 30);
            s.move(placed);
            restore(s);
            kept = s.pos();
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(w, "btnSearch02"), Qt::LeftButton);
        QCOMPARE(kept, placed);
    }

    // First ID above the last: nothing is tried; "7" is shown as "0007".
    void serialInvertedRangeTriesNothing()
    {
        SerialLine com3(19200, {Controller(1)});
        MainSite site("3=" + com3.path().toLocal8Bit());
        QVERIFY(site.rig.settle());
        QString shown;
        QString statusAfter;
        WhenShown<TfrmComSearch>([&](TfrmComSearch &s) {
            s.edID01->setText(QStringLiteral("7"));
            s.edID02->setText(QStringLiteral("3"));
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            WaitForMessage(*site.prompt);
            shown = s.edID01->text();
            statusAfter = s.sbMain->text();
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(*site.window, "btnSearch01"), Qt::LeftButton);
        QCOMPARE(site.prompt->messages, QStringList{QStringLiteral("couldn't find!")});
        QCOMPARE(shown, QStringLiteral("0007"));
        QVERIFY(statusAfter.isEmpty());
        QVERIFY(!site.rig.comm().DeviceConnected());
    }

    // Searched for IDs 1-3, the controller on COM3 answers the broadcast as 0005: the closing
    // message names it, and the main window does not connect.
    void serialControllerOutsideTheRangeIsNamed()
    {
        SerialLine com3(19200, {Controller(5)});
        MainSite site("3=" + com3.path().toLocal8Bit());
        QVERIFY(site.rig.settle());
        WhenShown<TfrmComSearch>([&](TfrmComSearch &s) {
            s.lblBaudRate->setChecked(false);
            s.cbxBaudRate->setCurrentText(QStringLiteral("19200,e,8,1"));
            s.edID01->setText(QStringLiteral("1"));
            s.edID02->setText(QStringLiteral("3"));
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            WaitForMessage(*site.prompt);
            QVERIFY(!s.result());
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(*site.window, "btnSearch01"), Qt::LeftButton);
        QCOMPARE(site.prompt->messages,
                 QStringList{QStringLiteral("couldn't find!\nA controller with Device ID 0005 "
                                            "answers at COM3 19200,e,8,1, outside the Device "
                                            "IDs searched.")});
        QVERIFY(!site.rig.comm().DeviceConnected());
    }

    // .61 refuses "AS", .62 answers "AS" but not "DB": neither is a controller; .63 is.
    void networkSearchFindsAndTheMainWindowConnects()
    {
        LoopbackSites sites;
        QVERIFY(sites.start({61, 62, 63}, {LoopbackSites::answering(1,
                                                                    [] {
                                                                        FaultSettings f;
                                                                        f.addErrorCode(
                                                                            QStringLiteral("AS:C"));
                                                                        return f;
                                                                    }()),
                                           LoopbackSites::answering(1,
                                                                    [] {
                                                                        FaultSettings f;
                                                                        f.silentCodes.insert("DB");
                                                                        return f;
                                                                    }()),
                                           LoopbackSites::answering(1)}));
        MainSite site;
        QVERIFY(site.rig.settle());
        TfrmKT480NT5 &w = *site.window;
        Control<QTabWidget>(w, "pcMain")->setCurrentIndex(1);
        QVERIFY(Control<QPushButton>(w, "btnSearch02")->isEnabled());
        const QString port = QString::number(sites.port());
        QStringList afterFirst;
        QStringList afterSecond;
        bool cancelShownDuring = false;
        WhenShown<TfrmNetSearch>([&](TfrmNetSearch &s) {
            s.setConnectTimeout(2000);
            s.edtIP01->clear();
            Type(s.edtIP01, QStringLiteral("127.0.0.61"));
            s.edtIP05->setText(QStringLiteral("62"));
            s.edtPort->setText(port);
            ShowSpy cancel;
            s.btnCancel->installEventFilter(&cancel);
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            cancelShownDuring = cancel.shown;
            s.btnCancel->removeEventFilter(&cancel);
            WaitForMessage(*site.prompt);
            afterFirst << s.edtIP04->text() << s.edtIP05->text();
            s.edtIP05->setText(QStringLiteral("63"));
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            WaitForMessage(*site.prompt, 2);
            afterSecond << s.edtIP04->text() << s.edtIP05->text();
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(w, "btnSearch02"), Qt::LeftButton);
        QVERIFY(cancelShownDuring);
        QCOMPARE(site.prompt->messages.value(0), QStringLiteral("couldn't find!"));
        QCOMPARE(afterFirst, (QStringList{QStringLiteral("61"), QStringLiteral("62")}));
        QCOMPARE(site.prompt->messages.value(1),
                 QStringLiteral("Succeeded in Finding  127.0.0.63:%1  0001 ").arg(port));
        QCOMPARE(site.prompt->captions.value(1), QStringLiteral("System Message"));
        QCOMPARE(afterSecond, (QStringList{QStringLiteral("63"), QStringLiteral("63")}));
        QVERIFY(site.rig.settle());
        QCOMPARE(Control<QLineEdit>(w, "edtIP")->text(), QStringLiteral("127.0.0.63"));
        QCOMPARE(Control<QLineEdit>(w, "edtPort")->text(), port);
        QCOMPARE(Control<QLineEdit>(w, "edID03")->text(), QStringLiteral("0001"));
        QVERIFY2(site.rig.comm().DeviceConnected(),
                 qPrintable(Control<QPlainTextEdit>(w, "Memo1")->toPlainText()));
        QCOMPARE(w.statusText(), QStringLiteral("Communication ok.  127.0.0.63:%1").arg(port));
    }

    void addressEditsFollowTheirRules()
    {
        MainSite site;
        QVERIFY(site.rig.settle());
        TfrmNetSearch s(site.window->context().language, *site.prompt, site.window);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        for (QLineEdit *e : {s.edtIP01, s.edtIP02, s.edtIP03, s.edtIP04})
            e->clear();
        Type(s.edtIP01, QStringLiteral("192.168.1.20"));
        QCOMPARE(s.edtIP01->text(), QStringLiteral("192"));
        QCOMPARE(s.edtIP02->text(), QStringLiteral("168"));
        QCOMPARE(s.edtIP03->text(), QStringLiteral("1"));
        QCOMPARE(s.edtIP04->text(), QStringLiteral("20"));
        // Other keys are swallowed.
        Type(s.edtIP04, QStringLiteral("a-"));
        QCOMPARE(s.edtIP04->text(), QStringLiteral("20"));

        // Leaving the last part below the first makes both the last.
        s.edtIP04->setText(QStringLiteral("101"));
        s.edtIP05->setFocus();
        s.edtIP05->selectAll();
        QTest::keyClicks(s.edtIP05, QStringLiteral("90"));
        s.edtPort->setFocus();
        QCOMPARE(s.edtIP04->text(), QStringLiteral("90"));
        QCOMPARE(s.edtIP05->text(), QStringLiteral("90"));

        // Typing a first part above the last makes both the first.
        s.edtIP05->setText(QStringLiteral("101"));
        s.edtIP04->setFocus();
        s.edtIP04->selectAll();
        QTest::keyClicks(s.edtIP04, QStringLiteral("120"));
        QCOMPARE(s.edtIP04->text(), QStringLiteral("120"));
        QCOMPARE(s.edtIP05->text(), QStringLiteral("120"));

        // Leaving the first part: above 255 becomes 255, 0 becomes 1.
        s.edtIP04->setText(QStringLiteral("300"));
        s.edtPort->setFocus();
        QCOMPARE(s.edtIP04->text(), QStringLiteral("255"));
        s.edtIP04->setFocus();
        s.edtIP04->setText(QStringLiteral("0"));
        s.edtPort->setFocus();
        QCOMPARE(s.edtIP04->text(), QStringLiteral("1"));
    }

    // A connection that never answers keeps the search going until Cancel; then the window
    // is idle again and closes.
    void networkCancelEndsAtOnceAndTheWindowCloses()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress(QStringLiteral("127.0.0.70"))));
        MainSite site;
        QVERIFY(site.rig.settle());
        TfrmKT480NT5 &w = *site.window;
        Control<QTabWidget>(w, "pcMain")->setCurrentIndex(1);
        bool probing = false;
        bool idleAfter = false;
        WhenShown<TfrmNetSearch>([&](TfrmNetSearch &s) {
            SetRange(s, QStringLiteral("127.0.0"), 70, 70);
            s.edtPort->setText(QString::number(silent.serverPort()));
            s.edID02->setText(QStringLiteral("500"));
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            probing = QTest::qWaitFor(
                [&] { return s.sbMain->text().contains(QLatin1String("ID:0002")); }, 5000);
            QTest::mouseClick(s.btnCancel, Qt::LeftButton);
            WaitForMessage(*site.prompt);
            idleAfter = !s.searching() && s.btnExit->isEnabled() && s.btnCancel->isHidden();
            QTest::mouseClick(s.btnExit, Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(w, "btnSearch02"), Qt::LeftButton);
        QVERIFY(probing);
        QVERIFY(idleAfter);
        QCOMPARE(site.prompt->messages, QStringList{QStringLiteral("couldn't find!")});
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!site.rig.comm().TransportHeld());
        QVERIFY(!site.rig.comm().DeviceConnected());
    }

    // Outside loopback the window refuses before a single socket opens.
    void networkSearchRefusesAddressesOutsideLoopback()
    {
        MainSite site;
        QVERIFY(site.rig.settle());
        TfrmNetSearch s(site.window->context().language, *site.prompt, site.window);
        s.show();
        SetRange(s, QStringLiteral("192.0.2"), 1, 1);
        QTest::mouseClick(s.btnSearch, Qt::LeftButton);
        QCOMPARE(site.prompt->messages.size(), 1);
        QVERIFY(site.prompt->messages.first().contains(QLatin1String("192.0.2.1")));
        QVERIFY(site.prompt->messages.first().contains(QLatin1String("refused")));
        QVERIFY(!s.searching());
        QVERIFY(s.btnExit->isEnabled());
        s.close();

        // The refusal speaks the window's language.
        ClickOnScreen(Control<QPushButton>(*site.window, "btnBIG5"));
        TfrmNetSearch t(site.window->context().language, *site.prompt, site.window);
        t.show();
        SetRange(t, QStringLiteral("192.0.2"), 1, 1);
        QTest::mouseClick(t.btnSearch, Qt::LeftButton);
        QCOMPARE(site.prompt->messages.size(), 2);
        QVERIFY2(site.prompt->messages.last().startsWith(QLatin1String("192.0.2.1 ")) &&
                     site.prompt->messages.last().contains(u"已拒絕"_qs),
                 qPrintable(site.prompt->messages.last()));
        QCOMPARE(site.prompt->captions.last(), u"系統訊息"_qs);
    }

    // A port box left at no port (0, above 65535, empty) searches port 5001, and the window
    // says so: the box, the status line and what the main window is handed agree.
    void networkPortOutsideTheRangeShowsThePortSearched()
    {
        MainSite site;
        QVERIFY(site.rig.settle());
        TfrmNetSearch s(site.window->context().language, *site.prompt, site.window);
        s.setConnectTimeout(500);
        s.show();
        SetRange(s, QStringLiteral("127.0.0"), 72, 72);
        const QStringList typed{QStringLiteral("0"), QStringLiteral("70000"), QString()};
        for (const QString &port : typed) {
            s.edtPort->setText(port);
            const int before = site.prompt->messages.size();
            QTest::mouseClick(s.btnSearch, Qt::LeftButton);
            QCOMPARE(s.edtPort->text(), QStringLiteral("5001"));
            QCOMPARE(s.sbMain->text(), QStringLiteral("Scanning ... 127.0.0.72:5001"));
            QVERIFY(WaitForMessage(*site.prompt, before + 1));
        }
    }
};

QTEST_MAIN(TestSearchWindows)
#include "test_search_windows.moc"
