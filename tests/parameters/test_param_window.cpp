#include "ParamFilePaths.h"
#include "ParamSite.h"
#include "TfrmParameter.h"
#include "WindowRig.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

ControllerData Configured()
{
    ControllerData data = ControllerData::factory();
    data.parameters["AF13"] = "077";
    data.parameters["AF42"] = "1";
    data.parameters["AF16"] = "0365";
    return data;
}

// A window on a simulated controller, shown, with its initial read done.
struct WindowSite
{
    explicit WindowSite(const QString &version = QStringLiteral("KT480NT-V5.04"),
                        const ControllerData &data = Configured())
        : site(Via::Tcp, data)
    {
        site.comm.setDeviceConnected(true);
        window =
            std::make_unique<TfrmParameter>(site.comm, site.settings, site.language, site.progress,
                                            batchMode, site.clockReadPaused, site.prompt, version);
        window->setRetryPause(ParamSite::TestPause);
        window->show();
        QTRY_VERIFY(window->lastResult().values.size() == 22);
    }

    ParamSite site;
    SharedFlag batchMode;
    std::unique_ptr<TfrmParameter> window;
};

FaultSettings ErrorOn(const QByteArray &code)
{
    FaultSettings faults;
    faults.errorCodes.insert(code, 'A');
    return faults;
}

} // namespace

class TestParamWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensWithTheControllerValuesInTheCurrentLanguage()
    {
        WindowSite w;
        TfrmParameter &window = *w.window;
        QCOMPARE(window.paramBox(13)->currentText(), QStringLiteral("077"));
        QCOMPARE(window.paramBox(16)->currentText(), QStringLiteral("0365"));
        QCOMPARE(window.paramLabel(13)->text(), QStringLiteral("LCD Delay Time(second):"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Parameter set"));
        QCOMPARE(window.pcMain->tabText(0), QStringLiteral("Parameter Backup/Restore"));
        QCOMPARE(window.pcMain->tabText(1), QStringLiteral("Special Parameter Setup"));
        QVERIFY(!window.pcMain->isTabVisible(window.pcMain->indexOf(window.ts03)));
        QVERIFY(w.site.prompt.messages.isEmpty());
        QVERIFY(window.btnBackup->isEnabled());
        QCOMPARE(window.edPath01->text(), ParamFilePaths::DefaultFile());
        QVERIFY(window.findChild<QWidget *>(QStringLiteral("SpeedButton4")));
    }

    void versionFourHidesSixRowsAndFitsTheScreen()
    {
        WindowSite w(QStringLiteral("kt480nt-v4.10"));
        TfrmParameter &window = *w.window;
        window.pcMain->setCurrentWidget(window.ts02);
        QApplication::processEvents();
        for (const int n : {43, 44, 45, 47, 48, 64})
            QVERIFY(window.paramBox(n)->isHidden());
        QVERIFY(!window.paramBox(42)->isHidden());
        QCOMPARE(window.paramBox(42)->currentText(), QStringLiteral("1"));

        QVERIFY(window.frameGeometry().width() <= 1366);
        QVERIFY(window.frameGeometry().height() <= 740);
        QVERIFY(window.minimumSizeHint().height() <= 700);
        QComboBox *bottom = window.paramBox(16);
        QVERIFY(bottom->isVisible());
        const QRect inWindow(bottom->mapTo(&window, QPoint(0, 0)), bottom->size());
        QVERIFY(window.rect().contains(inWindow));
    }

    void comboTakesDigitsOnlyAtMostFour()
    {
        WindowSite w;
        QComboBox *combo = w.window->paramBox(14);
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("a1-2x3456"));
        QCOMPARE(combo->currentText(), QStringLiteral("1234"));
    }

    void readAllNamesTheFailedRows()
    {
        WindowSite w;
        w.site.sim->setFaults(ErrorOn("AF41"));
        w.site.prompt.messages.clear();
        w.window->btnRxAllClick();
        QCOMPARE(w.site.prompt.messages.size(), 1);
        QVERIFY(w.site.prompt.messages.first().startsWith(QStringLiteral("Error!\n")));
        QVERIFY(w.site.prompt.messages.first().contains(QStringLiteral("AF41")));
        QCOMPARE(w.site.prompt.captions.first(), QStringLiteral("System Message"));
        QCOMPARE(w.window->statusText(1), QStringLiteral("AF41"));
        QVERIFY(w.window->pcMain->isEnabled());
    }

    void writeOneSendsTheTypedValue()
    {
        WindowSite w;
        w.window->paramBox(13)->setCurrentText(QStringLiteral("200"));
        w.window->btn201Click(13);
        QCOMPARE(w.site.prompt.messages, QStringList{QStringLiteral("OK!")});
        QCOMPARE(w.site.state().parameters.value("AF13"), QByteArray("200"));
        w.window->paramBox(13)->setCurrentText(QStringLiteral("000"));
        w.window->btn101Click(13);
        QCOMPARE(w.window->paramBox(13)->currentText(), QStringLiteral("200"));
    }

    void failedDefaultShowsOnlyConfirmedValues()
    {
        WindowSite w;
        w.site.sim->setFaults(ErrorOn("AF41"));
        w.window->btnDefaultClick();
        QCOMPARE(w.site.prompt.messages.size(), 1);
        QVERIFY(w.site.prompt.messages.first().contains(QStringLiteral("AF41")));
        QCOMPARE(w.window->paramBox(13)->currentText(), QStringLiteral("120"));
        QCOMPARE(w.window->paramBox(16)->currentText(), QStringLiteral("0030"));
        // Not written: the page keeps what the controller holds.
        QCOMPARE(w.window->paramBox(42)->currentText(), QStringLiteral("1"));
    }

    void backupAndRestoreFromThePage()
    {
        WindowSite w;
        const QString shown = w.site.path(QStringLiteral("saved/param"));
        w.window->edPath01->setText(shown);
        w.batchMode.set(true);
        w.window->btnBackupClick();
        QVERIFY(w.site.prompt.messages.isEmpty());
        QVERIFY(QFileInfo::exists(shown + QStringLiteral(".xml")));
        w.batchMode.set(false);

        w.site.prompt.fileName = QStringLiteral("  ") + shown + QStringLiteral("  ");
        w.window->btnOpenFile02Click();
        QCOMPARE(w.window->edPath02->text(), shown + QStringLiteral(".xml"));
        QCOMPARE(w.site.settings.LoadSetting(ParamFilePaths::ImportSetting),
                 shown + QStringLiteral(".xml"));
        w.window->btnRestoreClick();
        QCOMPARE(w.site.prompt.messages, QStringList{QStringLiteral("OK!")});

        // A missing file is reported even in batch mode, by name.
        const QString missing = w.site.path(QStringLiteral("gone.xml"));
        w.window->edPath02->setText(missing);
        w.batchMode.set(true);
        w.window->btnRestoreClick();
        QCOMPARE(w.site.prompt.messages.size(), 2);
        QVERIFY(w.site.prompt.messages.last().contains(missing));
    }

    void longPathsAreKeptWhole()
    {
        WindowRig rig({Configured()});
        QString exportPath = rig.path(QStringLiteral("a-long-folder-name-"));
        exportPath += QString(120 - exportPath.size(), QLatin1Char('x')) +
                      QStringLiteral("/a-long-file-name-");
        exportPath += QString(176 - exportPath.size(), QLatin1Char('y')) + QStringLiteral(".xml");
        QCOMPARE(exportPath.size(), 180);
        rig.writeSettings({{ParamFilePaths::ExportSetting, exportPath},
                           {ParamFilePaths::ImportSetting, exportPath}});
        TfrmKT480NT5 &main = rig.open({}, true);
        QVERIFY(rig.connectTcp());
        RigPrompt &prompt = rig.scriptPrompts();
        QVERIFY(WhileModal<TfrmParameter>([&] { ClickOnScreen(main.btnParameter); },
                                          [&](TfrmParameter &window) {
                                              QTRY_VERIFY(window.lastResult().values.size() == 22);
                                              QCOMPARE(window.edPath01->text(), exportPath);
                                              QCOMPARE(window.edPath02->text(), exportPath);
                                              ClickOnScreen(window.btnBackup);
                                          }));
        QVERIFY(QFileInfo::exists(exportPath));
        QCOMPARE(QDir(QFileInfo(exportPath).absolutePath()).entryList(QDir::Files).size(), 1);
        QCOMPARE(rig.storedSetting(ParamFilePaths::ExportSetting).toString(), exportPath);
        QCOMPARE(prompt.messages, QStringList{QStringLiteral("OK!")});
    }

    void noCloseWhileAnOperationRuns()
    {
        WindowRig rig({Configured()});
        const QString file = rig.path(QStringLiteral("param.xml"));
        rig.writeSettings({{ParamFilePaths::ExportSetting, file}});
        TfrmKT480NT5 &main = rig.open({}, true);
        QVERIFY(rig.connectTcp());
        RigPrompt &prompt = rig.scriptPrompts();
        bool closeRefused = false;
        bool stillShown = false;
        QVERIFY(WhileModal<TfrmParameter>([&] { ClickOnScreen(main.btnParameter); },
                                          [&](TfrmParameter &window) {
                                              QTRY_VERIFY(window.lastResult().values.size() == 22);
                                              AtExchange(rig.comm(), 10, [&] {
                                                  QTest::keyClick(&window, Qt::Key_Escape);
                                                  closeRefused = !window.close();
                                                  stillShown = window.isVisible();
                                              });
                                              ClickOnScreen(window.btnBackup);
                                              QVERIFY(window.isVisible());
                                          }));
        QVERIFY2(closeRefused && stillShown, "the window closed in the middle of the backup");
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(prompt.messages, QStringList{QStringLiteral("OK!")});
    }
};

QTEST_MAIN(TestParamWindow)
#include "test_param_window.moc"
