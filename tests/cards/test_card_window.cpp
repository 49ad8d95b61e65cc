// The card window opened from the main window as the program opens it (modal), clicked
// through the window system, its prompts answered by the rig.
#include "TfrmCardData.h"
#include "TfrmProcess.h"
#include "WindowRig.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

ControllerData withCards(int count)
{
    ControllerData data = ControllerData::factory(1);
    data.cards = GeneratedCards(count);
    return data;
}

template <typename W = QPushButton> W *named(QWidget &window, const char *name)
{
    W *widget = window.findChild<W *>(QLatin1String(name));
    Q_ASSERT(widget);
    return widget;
}

} // namespace

class CardWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void cancelStopsAReadRunningInTheModalWindow();
    void noCloseWhileAnOperationRuns();
};

void CardWindowTest::cancelStopsAReadRunningInTheModalWindow()
{
    WindowRig rig({withCards(3000)});
    rig.writeSettings({{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                       {QStringLiteral("CardNoMax"), QStringLiteral("3000")}});
    TfrmKT480NT5 &w = rig.open({}, true);
    QVERIFY(rig.connectTcp());
    RigPrompt &prompt = rig.scriptPrompts();
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
    const bool shown = WhileModal<TfrmCardData>([&] { ClickOnScreen(w.btnCard); },
                                                [&](TfrmCardData &cards) {
                                                    ClickOnScreen(named(cards, "btnBackup"));
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
    WindowRig rig({withCards(60)});
    rig.writeSettings({{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                       {QStringLiteral("CardNoMax"), QStringLiteral("60")}});
    TfrmKT480NT5 &w = rig.open({}, true);
    QVERIFY(rig.connectTcp());
    RigPrompt &prompt = rig.scriptPrompts();
    bool closeRefused = false;
    bool stillShown = false;
    bool closedWhenIdle = false;
    QVERIFY(WhileModal<TfrmCardData>([&] { ClickOnScreen(w.btnCard); },
                                     [&](TfrmCardData &cards) {
                                         AtExchange(rig.comm(), 20, [&] {
                                             QTest::keyClick(&cards, Qt::Key_Escape);
                                             closeRefused = !cards.close();
                                             stillShown = cards.isVisible();
                                         });
                                         ClickOnScreen(named(cards, "btnBackup"));
                                         QCOMPARE(cards.table().RecordCount(), 60);
                                         QVERIFY(cards.isVisible());
                                         QTest::keyClick(&cards, Qt::Key_Escape);
                                         closedWhenIdle = cards.isHidden();
                                     }));
    QVERIFY2(closeRefused && stillShown, "the window closed in the middle of the read");
    QVERIFY(closedWhenIdle);
    QVERIFY(prompt.messages.isEmpty());
}

QTEST_MAIN(CardWindowTest)
#include "test_card_window.moc"
