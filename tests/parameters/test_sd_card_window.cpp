// The SD card page as a person meets it: the main window's "SD CARD Backup/Restore" button
// (shown with --expert, enabled when the controller reports a card) opens the parameter
// window on that page alone, modally; its buttons are clicked through the window system.
#include "SdCardOperation.h"
#include "SdTiming.h"
#include "TfrmParameter.h"
#include "TfrmProcess.h"
#include "WindowRig.h"

#include <Language.h>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <SdCardNotes.h>
#include <TextRow.h>

namespace {

ControllerData WithSd()
{
    ControllerData data = ControllerData::factory(1);
    data.sd.total = 40;
    data.sd.countsPerSecond = 400;
    return data;
}

// A main window with --expert, connected over UDP (where the controller reports its card).
struct SdSite
{
    SdSite() : rig({WithSd()})
    {
        StartOptions options;
        options.expert = true;
        main = &rig.open(options, true);
        connected = rig.connectUdp();
        prompt = &rig.scriptPrompts();
    }

    void setSd(const std::function<void(SdCardState &)> &change)
    {
        rig.sim().controller().modify([&](ControllerData &d) {
            change(d.sd);
            return true;
        });
    }

    // Runs `steps` in the window once its initial read is done.
    bool inWindow(const std::function<void(TfrmParameter &)> &steps)
    {
        return WhileModal<TfrmParameter>(
            [&] { ClickOnScreen(Control<QPushButton>(*main, "btnSdCard")); },
            [&](TfrmParameter &window) {
                QVERIFY(QTest::qWaitFor(
                    [&] {
                        return window.pcMain->isEnabled() && !window.lblSdState->text().isEmpty();
                    },
                    10000));
                window.setRetryPause(std::chrono::milliseconds(2));
                window.setSdTiming(FastSdTiming(std::chrono::milliseconds(800)));
                steps(window);
            });
    }

    WindowRig rig;
    TfrmKT480NT5 *main = nullptr;
    ScriptedPrompt *prompt = nullptr;
    bool connected = false;
};

void ChooseSlot(QComboBox *combo, const QString &slot)
{
    ClickOnScreen(combo);
    combo->setCurrentText(slot);
    combo->hidePopup();
}

} // namespace

class TestSdCardWindow : public QObject
{
    Q_OBJECT

private slots:
    void sdButtonOpensThePageAloneAndABackupRuns()
    {
        SdSite site;
        QVERIFY(site.connected);
        TfrmKT480NT5 &w = *site.main;
        QVERIFY(Control<QPushButton>(w, "btnSdCard")->isVisible());
        QVERIFY(Control<QPushButton>(w, "btnSdCard")->isEnabled());
        QCOMPARE(Control<QPushButton>(w, "btnSdCard")->text(),
                 QStringLiteral("SD CARD Backup/Restore[128MB]"));
        QStringList progressSeen;
        connect(&site.rig.context().progress, &ProgressState::changed, this, [&] {
            const QString text = site.rig.context().progress.text();
            if (!text.isEmpty() && !progressSeen.contains(text))
                progressSeen << text;
        });
        QVERIFY(site.inWindow([&](TfrmParameter &window) {
            QTabWidget *tabs = window.pcMain;
            QVERIFY(!tabs->isTabVisible(tabs->indexOf(window.ts01)));
            QVERIFY(!tabs->isTabVisible(tabs->indexOf(window.ts02)));
            QVERIFY(tabs->isTabVisible(tabs->indexOf(window.ts03)));
            QCOMPARE(tabs->currentWidget(), window.ts03);
            QCOMPARE(tabs->tabText(tabs->indexOf(window.ts03)),
                     QStringLiteral("SD CARD Backup/Restore"));
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lbl103"))->text(),
                     QStringLiteral("SD CARD Backup:"));
            QCOMPARE(window.cbxB->count(), 10);
            QCOMPARE(window.cbxB->currentText(), QStringLiteral("01"));
            QCOMPARE(window.cbxR->itemText(9), QStringLiteral("10"));
            QVERIFY(window.MemoNote00->isVisible());
            QVERIFY(window.MemoNote01->isHidden() && window.MemoNote02->isHidden());
            QVERIFY(window.MemoNote00->toPlainText().startsWith(
                QStringLiteral("   Special notes on using SD CARD")));
            QCOMPARE(window.lblSdState->text(), QStringLiteral("Controller SD card: idle."));
            // The initial read of the parameters ran as well.
            QCOMPARE(window.lastResult().values.size(), 22);

            ChooseSlot(window.cbxB, QStringLiteral("03"));
            ClickOnScreen(window.btnB);
        }));
        QCOMPARE(site.prompt->messages, QStringList{QStringLiteral("OK!")});
        QCOMPARE(site.prompt->captions.value(0), QStringLiteral("System Message"));
        QCOMPARE(site.rig.sim().controller().snapshot().sd.slot, 3);
        QVERIFY(progressSeen.contains(QStringLiteral("Writing ...")));
        QVERIFY(progressSeen.last().endsWith(QLatin1Char('%')));
        QVERIFY(w.processWindow().isHidden());
    }

    void busyControllerGetsTheBusyMessages()
    {
        SdSite site;
        QVERIFY(site.connected);
        site.setSd([](SdCardState &s) {
            s.running = 2;
            s.stallAt = 5;
            s.startedAtMs = QDateTime::currentMSecsSinceEpoch() - 10000;
        });
        QVERIFY(site.inWindow([&](TfrmParameter &window) {
            QCOMPARE(window.lblSdState->text(),
                     QStringLiteral("Controller SD card: SD restore running, 5 done."));
            ClickOnScreen(window.btnR);
            ClickOnScreen(window.btnB);
        }));
        QCOMPARE(site.prompt->messages,
                 QStringList({QStringLiteral("KT480NT System Busy [Restore...]!"),
                              QStringLiteral("Error!"),
                              QStringLiteral("KT480NT System Busy!! [Restore...] "),
                              QStringLiteral("Error!")}));
        QCOMPARE(site.rig.sim().controller().snapshot().sd.running, 2);
    }

    // Switched as a person switches it, through the main window's language buttons: a
    // controller busy with its SD card is told in the chosen language.
    void busyControllerInChinese_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("zh-TW") << QByteArray("btnBIG5")
                               << QStringLiteral("裝置 SD 卡：SD 備份進行中，已完成 5。")
                               << QStringList(
                                      {QStringLiteral("KT480NT 系統忙碌中 [SD 備份進行中...]!"),
                                       QStringLiteral("Error!"),
                                       QStringLiteral("KT480NT 系統忙碌中!! [SD 備份進行中...] "),
                                       QStringLiteral("Error!")});
        QTest::newRow("zh-CN") << QByteArray("btnGB")
                               << QStringLiteral("设备 SD 卡：SD 备份进行中，已完成 5。")
                               << QStringList(
                                      {QStringLiteral("KT480NT 系统忙碌中 [SD 备份进行中...]!"),
                                       QStringLiteral("Error!"),
                                       QStringLiteral("KT480NT 系统忙碌中!! [SD 备份进行中...] "),
                                       QStringLiteral("Error!")});
    }

    void busyControllerInChinese()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, state);
        QFETCH(QStringList, messages);
        SdSite site;
        QVERIFY(site.connected);
        ClickOnScreen(Control<QPushButton>(*site.main, button.constData()));
        site.setSd([](SdCardState &s) {
            s.running = 1;
            s.stallAt = 5;
            s.startedAtMs = QDateTime::currentMSecsSinceEpoch() - 10000;
        });
        QString shown;
        QVERIFY(site.inWindow([&](TfrmParameter &window) {
            shown = window.lblSdState->text();
            ClickOnScreen(window.btnR);
            ClickOnScreen(window.btnB);
        }));
        QCOMPARE(shown, state);
        QCOMPARE(site.prompt->messages, messages);
        QCOMPARE(site.rig.sim().controller().snapshot().sd.running, 1);
    }

    // The bound ends the following while the copy still runs: the box says so, and the page
    // shows what the controller does when it asks again.
    void givingUpShowsTheControllersState()
    {
        SdSite site;
        QVERIFY(site.connected);
        site.setSd([](SdCardState &s) { s.stallAt = 7; });
        QString shownAfter;
        QVERIFY(site.inWindow([&](TfrmParameter &window) {
            ClickOnScreen(window.btnR);
            shownAfter = window.lblSdState->text();
            QVERIFY(window.pcMain->isEnabled());
        }));
        QCOMPARE(site.prompt->messages.size(), 1);
        QVERIFY(site.prompt->messages.first().startsWith(QStringLiteral("Error!")));
        QVERIFY(site.prompt->messages.first().contains(QStringLiteral("may still be working")));
        QCOMPARE(shownAfter, QStringLiteral("Controller SD card: SD restore running, 7 done."));
        QVERIFY(!site.rig.context().clockReadPaused.isSet());
    }

    // Cancel while the copy is followed ends the following only: the box says the copy goes
    // on in the controller, which it does. The state line followed the copy while it ran.
    void cancelStopsFollowingAndTheCopyGoesOn()
    {
        SdSite site;
        QVERIFY(site.connected);
        site.setSd([](SdCardState &s) { s.stallAt = 7; });
        TfrmProcess &process = site.main->processWindow();
        ProgressState &progress = site.rig.context().progress;
        QStringList statesWhileFollowing;
        bool cancelled = false;
        QVERIFY(site.inWindow([&](TfrmParameter &window) {
            window.setSdTiming(FastSdTiming(std::chrono::seconds(60)));
            connect(&progress, &ProgressState::changed, &window, [&] {
                if (!progress.text().contains(QStringLiteral("....")))
                    return;
                if (!statesWhileFollowing.contains(window.lblSdState->text()))
                    statesWhileFollowing << window.lblSdState->text();
                if (cancelled || !window.lblSdState->text().contains(QStringLiteral("7 done")))
                    return;
                cancelled = true;
                QTimer::singleShot(0, &window, [&] {
                    QVERIFY(process.btnCancel->isVisible());
                    ClickOnScreen(process.btnCancel);
                });
            });
            ClickOnScreen(window.btnR);
            QVERIFY(window.pcMain->isEnabled());
        }));
        QVERIFY(cancelled);
        QVERIFY2(statesWhileFollowing.contains(
                     QStringLiteral("Controller SD card: SD restore running, 7 done.")),
                 qPrintable(statesWhileFollowing.join(QLatin1Char('|'))));
        QCOMPARE(site.prompt->messages.size(), 1);
        QVERIFY2(site.prompt->messages[0].startsWith(QStringLiteral("Error!")) &&
                     site.prompt->messages[0].contains(QStringLiteral("copy goes on by itself")),
                 qPrintable(site.prompt->messages[0]));
        QCOMPARE(site.rig.sim().controller().snapshot().sd.running, 2);
        QVERIFY(process.isHidden());
    }

    // The page in the three languages with the note of each; KT480_SCREENSHOT_DIR keeps the
    // pictures (docs/sdcard-*.png).
    void threeLanguages()
    {
        SdSite site;
        QVERIFY(site.connected);
        const QStringList names{QStringLiteral("en"), QStringLiteral("zh-tw"),
                                QStringLiteral("zh-cn")};
        // Switched through the main window's buttons, so that the texts beyond the language
        // table follow too.
        const char *buttons[] = {"btnEng", "btnBIG5", "btnGB"};
        const QStringList idle{QStringLiteral("Controller SD card: idle."),
                               QStringLiteral("裝置 SD 卡：閒置。"),
                               QStringLiteral("设备 SD 卡：空闲。")};
        for (int language = 0; language < 3; ++language) {
            ClickOnScreen(Control<QPushButton>(*site.main, buttons[language]));
            QCOMPARE(site.rig.context().language.LanguageIndex(), language);
            const Language lang(language);
            QVERIFY(site.inWindow([&](TfrmParameter &window) {
                QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lbl104"))->text(),
                         lang.TableText(TextRow::SdCardRestore) + QLatin1Char(':'));
                const QList<QPlainTextEdit *> notes{window.MemoNote00, window.MemoNote01,
                                                    window.MemoNote02};
                for (int n = 0; n < 3; ++n)
                    QCOMPARE(notes[n]->isVisible(), n == language);
                QCOMPARE(notes[language]->toPlainText().split(QLatin1Char('\n')),
                         SdCardNote(language));
                QCOMPARE(window.lblSdState->text(), idle[language]);
                QVERIFY(KeepPicture(window, QStringLiteral("sdcard-%1.png").arg(names[language])));
            }));
        }
    }
};

QTEST_MAIN(TestSdCardWindow)
#include "test_sd_card_window.moc"
