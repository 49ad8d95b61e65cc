// The parameter window opened from the main window as the program opens it (modal), clicked
// through the window system, its boxes answered by the rig.
#include "ParamFilePaths.h"
#include "TfrmParameter.h"
#include "TfrmProcess.h"
#include "WindowRig.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

ControllerData Configured()
{
    ControllerData data = ControllerData::factory();
    data.parameters["AF13"] = "077";
    data.parameters["AF42"] = "1";
    data.parameters["AF16"] = "0365";
    return data;
}

FaultSettings ErrorOn(const QByteArray &code)
{
    FaultSettings faults;
    faults.errorCodes.insert(code, 'A');
    return faults;
}

// A connected main window whose Parameter button opens the window, with scripted boxes.
struct WindowSite
{
    explicit WindowSite(const ControllerData &data = Configured(),
                        const QMap<QString, QVariant> &settings = {})
        : rig({data})
    {
        rig.writeSettings(settings);
        main = &rig.open({}, true);
        connected = rig.connectTcp();
        prompt = &rig.scriptPrompts();
    }

    // Runs `steps` in the window once its initial read of the 22 parameters is done.
    bool inWindow(const std::function<void(TfrmParameter &)> &steps)
    {
        QPushButton *button = Control<QPushButton>(*main, "btnParameter");
        return WhileModal<TfrmParameter>([&] { ClickOnScreen(button); },
                                         [&](TfrmParameter &window) {
                                             QVERIFY(QTest::qWaitFor(
                                                 [&] {
                                                     return window.lastResult().values.size() ==
                                                                22 &&
                                                            window.pcMain->isEnabled();
                                                 },
                                                 10000));
                                             steps(window);
                                         });
    }

    ControllerData state() { return rig.sim().controller().snapshot(); }

    WindowRig rig;
    TfrmKT480NT5 *main = nullptr;
    ScriptedPrompt *prompt = nullptr;
    bool connected = false;
};

void ShowSetupPage(TfrmParameter &window)
{
    ClickTab(window.pcMain, window.pcMain->indexOf(window.ts02));
}

void TypeIntoCombo(QComboBox *combo, const QString &text)
{
    ClickOnScreen(combo->lineEdit());
    combo->lineEdit()->selectAll();
    KeyOnScreen(combo, Qt::Key_Backspace);
    TypeOnScreen(combo, text);
}

} // namespace

class TestParamWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensWithTheControllerValuesInTheCurrentLanguage()
    {
        WindowSite w;
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            QCOMPARE(window.paramBox(13)->currentText(), QStringLiteral("077"));
            QCOMPARE(window.paramBox(16)->currentText(), QStringLiteral("0365"));
            QCOMPARE(window.paramLabel(13)->text(), QStringLiteral("LCD Delay Time(second):"));
            QCOMPARE(window.windowTitle(), QStringLiteral("Parameter set"));
            QCOMPARE(window.pcMain->tabText(0), QStringLiteral("Parameter Backup/Restore"));
            QCOMPARE(window.pcMain->tabText(1), QStringLiteral("Special Parameter Setup"));
            QVERIFY(!window.pcMain->isTabVisible(window.pcMain->indexOf(window.ts03)));
            QCOMPARE(window.pcMain->currentWidget(), window.ts01);
            QVERIFY(window.btnBackup->isEnabled());
            QCOMPARE(window.edPath01->text(), ParamFilePaths::DefaultFile());
            QCOMPARE(window.VersionText(), QStringLiteral("KT480NT-V5.04"));
            QVERIFY(window.findChild<QWidget *>(QStringLiteral("SpeedButton4")));
        }));
        QVERIFY(w.prompt->messages.isEmpty());
    }

    void versionFourHidesSixRowsAndFitsTheScreen()
    {
        ControllerData data = Configured();
        data.versionText = "kt480nt-v4.10";
        WindowSite w(data);
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            ShowSetupPage(window);
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
        }));
    }

    void comboTakesDigitsOnlyAtMostFour()
    {
        WindowSite w;
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            ShowSetupPage(window);
            QComboBox *combo = window.paramBox(14);
            TypeIntoCombo(combo, QStringLiteral("a1-2x3456"));
            QCOMPARE(combo->currentText(), QStringLiteral("1234"));
        }));
    }

    void readAllNamesTheFailedRows()
    {
        WindowSite w;
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            w.rig.sim().setFaults(ErrorOn("AF41"));
            ShowSetupPage(window);
            ClickOnScreen(window.btnRxAll);
            QCOMPARE(w.prompt->messages.size(), 1);
            QVERIFY(w.prompt->messages.first().startsWith(QStringLiteral("Error!\n")));
            // The controller answered: it said no, the line is not at fault.
            QVERIFY(w.prompt->messages.first().contains(
                QStringLiteral("AF41: refused by the controller")));
            QCOMPARE(w.prompt->captions.first(), QStringLiteral("System Message"));
            QCOMPARE(window.statusText(1), QStringLiteral("AF41"));
            QVERIFY(window.pcMain->isEnabled());
            ClickOnScreen(window.writeButton(41));
            QCOMPARE(w.prompt->messages.last(),
                     QStringLiteral("Error!\nAF41: refused by the controller, not written"));
        }));
    }

    // A row the first read could not read shows no value, not its default: Write all would
    // write that default over the controller's value.
    void initialReadNamesTheRowsItCouldNotRead()
    {
        ControllerData data = Configured();
        data.parameters["AF41"] = "1";
        WindowSite w(data);
        QVERIFY(w.connected);
        w.rig.sim().setFaults(ErrorOn("AF41"));
        QPushButton *button = Control<QPushButton>(*w.main, "btnParameter");
        QVERIFY(WhileModal<TfrmParameter>(
            [&] { ClickOnScreen(button); },
            [&](TfrmParameter &window) {
                QVERIFY(QTest::qWaitFor([&] { return window.lastResult().values.size() == 21; },
                                        10000));
                QVERIFY(QTest::qWaitFor([&] { return window.pcMain->isEnabled(); }, 1000));
                QVERIFY(w.prompt->messages.isEmpty());
                QCOMPARE(window.statusText(1), QStringLiteral("AF41"));
                QCOMPARE(window.paramBox(41)->currentText(), QString());
                w.rig.sim().clearFaults();
                ShowSetupPage(window);
                ClickOnScreen(window.btnTxAll);
                QCOMPARE(w.prompt->messages,
                         QStringList{QStringLiteral("Error!\nAF41: no value to write")});
                QCOMPARE(w.state().parameters.value("AF41"), QByteArray("1"));
                ClickOnScreen(window.readButton(41));
                QCOMPARE(window.paramBox(41)->currentText(), QStringLiteral("1"));
            }));
    }

    // A controller gone silent: the link is checked after a few rows instead of five
    // attempts on each of the 22, and the rows left are named.
    void readAllStopsWhenTheControllerStopsAnswering()
    {
        WindowSite w;
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            window.setRetryPause(std::chrono::milliseconds(2));
            FaultSettings silent;
            silent.dropShare = 1.0;
            w.rig.sim().setFaults(silent);
            int exchanges = 0;
            const QMetaObject::Connection counting =
                connect(&w.rig.comm(), &Comm::logLine, this, [&exchanges] { ++exchanges; });
            ShowSetupPage(window);
            ClickOnScreen(window.btnRxAll);
            disconnect(counting);
            QCOMPARE(w.prompt->messages.size(), 1);
            const QString message = w.prompt->messages.first();
            QVERIFY2(message.startsWith(QStringLiteral("Error!\n")), qPrintable(message));
            QVERIFY2(message.contains(QStringLiteral("stopped answering at AF11; 19 rows")),
                     qPrintable(message));
            // Three rows of five attempts, and the check.
            QCOMPARE(exchanges, 3 * 5 + 3);
            QVERIFY(window.statusText(1).startsWith(QStringLiteral("AF01, AF02, AF11, AF12")));
            QVERIFY(window.pcMain->isEnabled());
        }));
    }

    // The same silent controller, for Read all and Write all: the progress window offers
    // Cancel, and Cancel ends the run after the row under way.
    void cancelEndsReadAllAndWriteAllOnASilentController_data()
    {
        QTest::addColumn<bool>("writing");
        QTest::newRow("Read all") << false;
        QTest::newRow("Write all") << true;
    }

    void cancelEndsReadAllAndWriteAllOnASilentController()
    {
        QFETCH(bool, writing);
        WindowSite w;
        QVERIFY(w.connected);
        TfrmProcess &process = w.main->processWindow();
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            window.setRetryPause(std::chrono::milliseconds(2));
            FaultSettings silent;
            silent.dropShare = 1.0;
            w.rig.sim().setFaults(silent);
            int exchanges = 0;
            const QMetaObject::Connection counting =
                connect(&w.rig.comm(), &Comm::logLine, this, [&exchanges] { ++exchanges; });
            bool cancelShown = false;
            AtExchange(w.rig.comm(), 2, [&] {
                cancelShown = process.isVisible() && process.btnCancel->isVisible();
                ClickOnScreen(process.btnCancel);
            });
            ShowSetupPage(window);
            ClickOnScreen(writing ? window.btnTxAll : window.btnRxAll);
            disconnect(counting);
            QVERIFY(cancelShown);
            // The attempts of the first row, no further row.
            QVERIFY2(exchanges <= 5, qPrintable(QString::number(exchanges)));
            QCOMPARE(w.prompt->messages.size(), 1);
            const QString message = w.prompt->messages.first();
            QVERIFY2(message.startsWith(QStringLiteral("Error!\n")) &&
                         message.contains(QStringLiteral("Cancelled at AF02; 21 rows were not")),
                     qPrintable(message));
            QVERIFY(process.isHidden());
            QVERIFY(window.pcMain->isEnabled());
        }));
    }

    // The parameter file's own Backup and Restore on a slow controller: Cancel in the progress
    // window ends the run after the code under way, and the box says what was done.
    void cancelEndsBackupAndRestoreOnASlowController_data()
    {
        QTest::addColumn<bool>("restoring");
        QTest::newRow("Backup") << false;
        QTest::newRow("Restore") << true;
    }

    void cancelEndsBackupAndRestoreOnASlowController()
    {
        QFETCH(bool, restoring);
        WindowSite w;
        QVERIFY(w.connected);
        TfrmProcess &process = w.main->processWindow();
        const QString file = w.rig.path(QStringLiteral("param.xml"));
        const QString cancelled = w.rig.path(QStringLiteral("cancelled.xml"));
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            window.edPath01->setText(file);
            ClickOnScreen(window.btnBackup);
            QCOMPARE(w.prompt->messages, QStringList{QStringLiteral("OK!")});
            w.rig.sim().controller().modify([](ControllerData &d) {
                d.parameters["AF13"] = "150";
                return true;
            });
            window.edPath01->setText(cancelled);
            window.edPath02->setText(file);
            FaultSettings slow;
            slow.lateMs = 30;
            w.rig.sim().setFaults(slow);
            int exchanges = 0;
            const QMetaObject::Connection counting =
                connect(&w.rig.comm(), &Comm::logLine, this, [&exchanges] { ++exchanges; });
            bool cancelShown = false;
            // The check that the controller answers, then three codes.
            AtExchange(w.rig.comm(), 4, [&] {
                cancelShown = process.isVisible() && process.btnCancel->isVisible();
                ClickOnScreen(process.btnCancel);
            });
            ClickOnScreen(restoring ? window.btnRestore : window.btnBackup);
            disconnect(counting);
            QVERIFY(cancelShown);
            QVERIFY2(exchanges <= 6, qPrintable(QString::number(exchanges)));
            QCOMPARE(w.prompt->messages.size(), 2);
            const QString message = w.prompt->messages.last();
            QVERIFY2(message.startsWith(QStringLiteral("Error!\n")), qPrintable(message));
            if (restoring) {
                QVERIFY2(message.contains(QStringLiteral("The restore was cancelled at ")) &&
                             message.contains(QStringLiteral("rows were not sent.")),
                         qPrintable(message));
                QVERIFY2(message.contains(QStringLiteral("3 values were written")) ||
                             message.contains(QStringLiteral("4 values were written")),
                         qPrintable(message));
            } else {
                QVERIFY2(message.contains(QStringLiteral("The backup was cancelled at ")) &&
                             message.contains(QStringLiteral("no file was written")),
                         qPrintable(message));
                QVERIFY(!QFileInfo::exists(cancelled));
            }
            // The restore did not reach AF13, which stays as the controller held it.
            QCOMPARE(w.state().parameters.value("AF13"), QByteArray("150"));
            QVERIFY(process.isHidden());
            QVERIFY(window.pcMain->isEnabled());
        }));
    }

    void writeOneSendsTheTypedValue()
    {
        WindowSite w;
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            ShowSetupPage(window);
            TypeIntoCombo(window.paramBox(13), QStringLiteral("200"));
            ClickOnScreen(window.writeButton(13));
            QCOMPARE(w.prompt->messages, QStringList{QStringLiteral("OK!")});
            QCOMPARE(w.state().parameters.value("AF13"), QByteArray("200"));
            TypeIntoCombo(window.paramBox(13), QStringLiteral("000"));
            ClickOnScreen(window.readButton(13));
            QCOMPARE(window.paramBox(13)->currentText(), QStringLiteral("200"));
        }));
    }

    // An emptied box would send the bare code, which the controller answers as a read:
    // "OK!" for a write that wrote nothing.
    void anEmptiedBoxIsNotWritten()
    {
        WindowSite w;
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            ShowSetupPage(window);
            TypeIntoCombo(window.paramBox(15), QString());
            QCOMPARE(window.paramBox(15)->currentText(), QString());
            TypeIntoCombo(window.paramBox(13), QStringLiteral("200"));
            ClickOnScreen(window.btnTxAll);
            QCOMPARE(w.prompt->messages,
                     QStringList{QStringLiteral("Error!\nAF15: no value to write")});
            QCOMPARE(window.statusText(1), QStringLiteral("AF15"));
            QCOMPARE(w.state().parameters.value("AF13"), QByteArray("200"));
            QCOMPARE(w.state().parameters.value("AF15"), QByteArray("3"));
        }));
    }

    void failedDefaultShowsOnlyConfirmedValues()
    {
        WindowSite w;
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            w.rig.sim().setFaults(ErrorOn("AF41"));
            ShowSetupPage(window);
            ClickOnScreen(window.btnDefault);
            QCOMPARE(w.prompt->messages.size(), 1);
            QVERIFY(w.prompt->messages.first().contains(QStringLiteral("AF41")));
            QCOMPARE(window.paramBox(13)->currentText(), QStringLiteral("120"));
            QCOMPARE(window.paramBox(16)->currentText(), QStringLiteral("0030"));
            // Not written: the page keeps what the controller holds.
            QCOMPARE(window.paramBox(42)->currentText(), QStringLiteral("1"));
        }));
    }

    void backupAndRestoreFromThePage()
    {
        WindowSite w;
        QVERIFY(w.connected);
        const QString shown = w.rig.path(QStringLiteral("saved/param"));
        const QString missing = w.rig.path(QStringLiteral("gone.xml"));
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            w.prompt->fileName = shown;
            ClickOnScreen(window.findChild<QToolButton *>(QStringLiteral("btnOpenFile01")));
            QCOMPARE(w.prompt->dialogs.last(),
                     QStringLiteral("save ") + ParamFilePaths::DefaultFile());
            QCOMPARE(window.edPath01->text(), shown);
            ClickOnScreen(window.btnBackup);
            QCOMPARE(w.prompt->messages, QStringList{QStringLiteral("OK!")});
            QVERIFY(QFileInfo::exists(shown + QStringLiteral(".xml")));

            w.prompt->fileName = QStringLiteral("  ") + shown + QStringLiteral("  ");
            ClickOnScreen(window.findChild<QToolButton *>(QStringLiteral("btnOpenFile02")));
            QCOMPARE(w.prompt->dialogs.last(),
                     QStringLiteral("open ") + ParamFilePaths::DefaultFile());
            QCOMPARE(window.edPath02->text(), shown + QStringLiteral(".xml"));
            ClickOnScreen(window.btnRestore);
            QCOMPARE(w.prompt->messages.size(), 2);
            QCOMPARE(w.prompt->messages.last(), QStringLiteral("OK!"));

            // A missing file is reported, by name.
            w.prompt->fileName = missing;
            ClickOnScreen(window.findChild<QToolButton *>(QStringLiteral("btnOpenFile02")));
            ClickOnScreen(window.btnRestore);
            QCOMPARE(w.prompt->messages.size(), 3);
            QVERIFY(w.prompt->messages.last().contains(missing));
        }));
        QCOMPARE(w.rig.storedSetting(ParamFilePaths::ExportSetting).toString(), shown);
        QCOMPARE(w.rig.storedSetting(ParamFilePaths::ImportSetting).toString(), missing);
    }

    // After a restore the setup page shows what the controller now holds: a Write all from
    // the page as it was would undo the restore.
    void restoreShowsTheRestoredValuesOnTheSetupPage()
    {
        WindowSite w;
        QVERIFY(w.connected);
        const QString file = w.rig.path(QStringLiteral("param.xml"));
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            window.edPath01->setText(file);
            ClickOnScreen(window.btnBackup);
            w.rig.sim().controller().modify([](ControllerData &d) {
                d.parameters["AF13"] = "150";
                return true;
            });
            ShowSetupPage(window);
            ClickOnScreen(window.readButton(13));
            QCOMPARE(window.paramBox(13)->currentText(), QStringLiteral("150"));

            ClickTab(window.pcMain, window.pcMain->indexOf(window.ts01));
            window.edPath02->setText(file);
            ClickOnScreen(window.btnRestore);
            QCOMPARE(w.state().parameters.value("AF13"), QByteArray("077"));
            QCOMPARE(window.paramBox(13)->currentText(), QStringLiteral("077"));
            ShowSetupPage(window);
            ClickOnScreen(window.btnTxAll);
            QCOMPARE(w.state().parameters.value("AF13"), QByteArray("077"));
        }));
        QCOMPARE(w.prompt->messages, QStringList(4, QStringLiteral("OK!")));
    }

    void batchModeShowsOnlyFailures()
    {
        WindowSite w;
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            w.rig.context().batchMode.set(true);
            window.edPath01->setText(w.rig.path(QStringLiteral("batch.xml")));
            ClickOnScreen(window.btnBackup);
            QVERIFY(w.prompt->messages.isEmpty());
            QVERIFY(QFileInfo::exists(w.rig.path(QStringLiteral("batch.xml"))));
            window.edPath02->setText(w.rig.path(QStringLiteral("none.xml")));
            ClickOnScreen(window.btnRestore);
            QCOMPARE(w.prompt->messages.size(), 1);
            w.rig.context().batchMode.set(false);
        }));
    }

    void longPathsAreKeptWhole()
    {
        QTemporaryDir folder;
        QString exportPath = folder.filePath(QStringLiteral("a-long-folder-name-"));
        exportPath += QString(120 - exportPath.size(), QLatin1Char('x')) +
                      QStringLiteral("/a-long-file-name-");
        exportPath += QString(176 - exportPath.size(), QLatin1Char('y')) + QStringLiteral(".xml");
        QCOMPARE(exportPath.size(), 180);
        WindowSite w(Configured(), {{ParamFilePaths::ExportSetting, exportPath},
                                    {ParamFilePaths::ImportSetting, exportPath}});
        QVERIFY(w.connected);
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            QCOMPARE(window.edPath01->text(), exportPath);
            QCOMPARE(window.edPath02->text(), exportPath);
            ClickOnScreen(window.btnBackup);
        }));
        QVERIFY(QFileInfo::exists(exportPath));
        QCOMPARE(QDir(QFileInfo(exportPath).absolutePath()).entryList(QDir::Files).size(), 1);
        QCOMPARE(w.rig.storedSetting(ParamFilePaths::ExportSetting).toString(), exportPath);
        QCOMPARE(w.prompt->messages, QStringList{QStringLiteral("OK!")});
    }

    void noCloseWhileAnOperationRuns()
    {
        WindowSite w;
        QVERIFY(w.connected);
        const QString file = w.rig.path(QStringLiteral("param.xml"));
        bool closeRefused = false;
        bool stillShown = false;
        QVERIFY(w.inWindow([&](TfrmParameter &window) {
            window.edPath01->setText(file);
            AtExchange(w.rig.comm(), 10, [&] {
                QTest::keyClick(&window, Qt::Key_Escape);
                closeRefused = !window.close();
                stillShown = window.isVisible();
            });
            ClickOnScreen(window.btnBackup);
            QVERIFY(window.isVisible());
        }));
        QVERIFY2(closeRefused && stillShown, "the window closed in the middle of the backup");
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(w.prompt->messages, QStringList{QStringLiteral("OK!")});
    }
};

QTEST_MAIN(TestParamWindow)
#include "test_param_window.moc"
